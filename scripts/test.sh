#!/usr/bin/env bash
# Installs what is missing, builds the tests with AddressSanitizer and
# UndefinedBehaviorSanitizer in build/asan and runs every test; fails on any failure.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
root="$(qv_root)"
qv_install_packages
qv_configure_and_build build/asan -DCMAKE_BUILD_TYPE=Debug -DQV_SANITIZE=ON
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd "$root/build/asan"
ctest --output-on-failure --parallel "$(nproc)" "$@"
