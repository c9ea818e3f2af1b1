#!/usr/bin/env bash
# Installs what is missing, builds a Release build in build/release and starts Quorvel.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
root="$(qv_root)"
qv_install_packages
qv_configure_and_build build/release -DCMAKE_BUILD_TYPE=Release -DQV_BUILD_TESTS=OFF
if [ -x "$root/build/release/quorvel" ]; then
  exec "$root/build/release/quorvel" "$@"
fi
echo "build/release/quorvel is not built yet." >&2
