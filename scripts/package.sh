#!/usr/bin/env bash
# Builds the Debian package kelvora_<version>_<arch>.deb in build/package/
# from the normal build directory (build), installing what the build needs
# first, and prints the package's path.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/install-deps.sh"
"$here/scripts/build.sh" build

out=$here/build/package
mkdir -p "$out"
rm -f "$out"/kelvora_*.deb
(cd "$here/build" && cpack -G DEB -B "$out" >&2)
debs=("$out"/kelvora_*.deb)
[ -f "${debs[0]}" ] || { echo "package.sh: cpack wrote no kelvora_*.deb into $out" >&2; exit 1; }
echo "${debs[0]}"
