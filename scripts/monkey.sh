#!/usr/bin/env bash
# Random input to the real program (AddressSanitizer build, virtual X server) for longer
# than the test's 12 seconds, or again with the seed that a failed run printed.
# Usage: scripts/monkey.sh [SECONDS [SEED]]   (default 300 seconds, a new seed)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
root="$(qv_root)"
qv_install_packages
qv_configure_and_build build/asan -DCMAKE_BUILD_TYPE=Debug -DQV_SANITIZE=ON
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
exec "$root/tests/e2e/monkey.sh" "$root/build/asan/quorvel" "$root/build/asan/tests/qv_xping" \
  "${1:-300}" ${2:+"$2"}
