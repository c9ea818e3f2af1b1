#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build/fuzz and runs one:
#   ./scripts/fuzz.sh TARGET [SECONDS]   (default 60 seconds)
# The run starts from the target's committed seeds (fuzz/seeds/TARGET, small real inputs)
# and what earlier runs found (build/fuzz/corpus/TARGET, where new inputs go). Leaks inside
# the system libraries that the platform layer loads are suppressed as in the tests
# (tests/lsan.supp), so that only our own stop a run.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
root="$(qv_root)"
qv_install_packages
target="${1:?usage: fuzz.sh TARGET [SECONDS]}"
seconds="${2:-60}"
qv_configure_and_build build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQV_BUILD_FUZZ=ON \
  -DQV_BUILD_TESTS=OFF -DCMAKE_CXX_COMPILER=clang++
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
corpus="$root/build/fuzz/corpus/$target"
seeds="$root/fuzz/seeds/$target"
mkdir -p "$corpus"
[ -d "$seeds" ] || { echo "fuzz.sh: no seeds in $seeds" >&2; exit 1; }
# An input that runs a minute hangs; a slow one on a busy machine (the fuzzer's clock is
# the wall clock) must not end the run.
"$root/build/fuzz/fuzz/$target" -max_total_time="$seconds" -timeout=60 -rss_limit_mb=4096 \
  "$corpus" "$seeds"
