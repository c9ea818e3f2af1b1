#!/usr/bin/env bash
# Builds the benchmarks (Release) in build/bench and runs one, or all:
#   ./scripts/bench.sh [NAME]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
root="$(qv_root)"
qv_install_packages "${QV_BENCH_PACKAGES[@]}"
"$root/scripts/corpus.sh" >/dev/null
qv_configure_and_build build/bench -DCMAKE_BUILD_TYPE=Release -DQV_BUILD_BENCH=ON -DQV_BUILD_TESTS=OFF
# The editor benchmarks draw in real windows: on the display there is, or on a virtual X
# server (Xvfb) each starts for its run. The others draw offscreen unless QT_QPA_PLATFORM
# says otherwise.
for prog in "$root"/build/bench/bench/*; do
  [ -x "$prog" ] && [ -f "$prog" ] || continue
  name="$(basename "$prog")"
  if [ $# -eq 0 ] || [ "$1" = "$name" ]; then
    echo "== $name"
    "$prog"
  fi
done
