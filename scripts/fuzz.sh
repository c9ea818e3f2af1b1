#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build/fuzz and runs one:
#   ./scripts/fuzz.sh TARGET [SECONDS]   (default 60 seconds)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
root="$(qv_root)"
qv_install_packages
target="${1:?usage: fuzz.sh TARGET [SECONDS]}"
seconds="${2:-60}"
qv_configure_and_build build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQV_BUILD_FUZZ=ON \
  -DQV_BUILD_TESTS=OFF -DCMAKE_CXX_COMPILER=clang++
mkdir -p "$root/build/fuzz/corpus/$target"
"$root/build/fuzz/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
  "$root/build/fuzz/corpus/$target"
