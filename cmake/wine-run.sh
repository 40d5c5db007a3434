#!/usr/bin/env bash
# Runs a Windows program under Wine with a prefix kept inside the build tree.
set -e
: "${WINEPREFIX:=$PWD/wineprefix}"
for dir in "$PWD" "$PWD/.." "$PWD/../.."; do
  if [ -f "$dir/CMakeCache.txt" ]; then WINEPREFIX="$dir/wineprefix"; break; fi
done
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
exec /usr/lib/wine/wine64 "$@"
