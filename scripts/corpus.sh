#!/usr/bin/env bash
# Prints the folder of the benchmark corpus: the PHP files of Debian's wordpress package,
# fetched once with apt-get download and unpacked under bench/corpus/ (not committed).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
dir="$root/bench/corpus/wordpress"
if [ ! -d "$dir/usr" ]; then
  mkdir -p "$dir"
  ( cd "$dir" && apt-get download wordpress >/dev/null && dpkg-deb -x wordpress_*.deb . && rm -f wordpress_*.deb )
fi
echo "$dir"
