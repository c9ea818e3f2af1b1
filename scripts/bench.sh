#!/usr/bin/env bash
# Builds the benchmarks (Release) in build/bench and runs one, or all:
#   ./scripts/bench.sh [NAME]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
root="$(qv_root)"
qv_install_packages "${QV_BENCH_PACKAGES[@]}"
"$root/scripts/corpus.sh" >/dev/null
qv_configure_and_build build/bench -DCMAKE_BUILD_TYPE=Release -DQV_BUILD_BENCH=ON -DQV_BUILD_TESTS=OFF
export QT_QPA_PLATFORM=offscreen
for prog in "$root"/build/bench/bench/*; do
  [ -x "$prog" ] && [ -f "$prog" ] || continue
  name="$(basename "$prog")"
  if [ $# -eq 0 ] || [ "$1" = "$name" ]; then
    echo "== $name"
    "$prog"
  fi
done
