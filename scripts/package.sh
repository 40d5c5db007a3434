#!/usr/bin/env bash
# Packages one built tree with CPack and prints the package's path: a Debian package from a Linux
# tree, a zip from the Windows tree. Usage: package.sh BUILD_DIR
set -euo pipefail
shopt -s nullglob
dir=$(cd "$1" && pwd)
mkdir -p "$dir/packages"
rm -f "$dir"/packages/*.deb "$dir"/packages/*.zip
if ! (cd "$dir" && cpack >"$dir/packages/cpack.log" 2>&1); then
  cat "$dir/packages/cpack.log" >&2
  exit 1
fi
packages=("$dir"/packages/*.deb "$dir"/packages/*.zip)
[ ${#packages[@]} -gt 0 ] || { echo "cpack made no package in $dir/packages" >&2; exit 1; }
printf '%s\n' "${packages[@]}"
