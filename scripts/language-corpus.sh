#!/usr/bin/env bash
# Prints the folder of the benchmarks' corpus of real files in every language the editor
# highlights, each unpacked from a Debian package with apt-get download under
# bench/corpus/PACKAGE/ (fetched once, not committed). The PHP, JavaScript and CSS files are
# the wordpress package's (scripts/corpus.sh).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/corpus.sh" >/dev/null
# HTML pages (a reference, and a program's documentation), XML (keyboard layouts, file
# types), SQL, Perl modules, C++ headers, and the form files among the examples of a parsing
# library's documentation.
for pkg in debian-reference-en phpmyadmin xkb-data shared-mime-info postgresql-15 perl-modules-5.36 libstdc++-12-dev python-pyparsing-doc; do
  dir="$root/bench/corpus/$pkg"
  if [ ! -d "$dir/usr" ]; then
    mkdir -p "$dir"
    ( cd "$dir" && apt-get download "$pkg" >/dev/null && dpkg-deb -x "$pkg"_*.deb . && rm -f "$pkg"_*.deb )
  fi
done
echo "$root/bench/corpus"
