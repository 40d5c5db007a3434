#!/usr/bin/env bash
# Runs a Windows program under Wine with a prefix kept inside the build tree.
# A program started while a new prefix is still being set up fails (its server directory is not
# there yet), and CTest starts several at once: so the first run creates the prefix alone, under
# a lock, and waits until its server is gone before anything runs in it. With --prepare the
# script only makes sure the prefix exists. With ORV_WINE_DPI set (192, say) the program runs in
# a prefix of its own whose desktop has that resolution, so the other suites keep 96 dpi.
set -e
name=wineprefix
if [ -n "${ORV_WINE_DPI-}" ]; then name="wineprefix-${ORV_WINE_DPI}dpi"; fi
: "${WINEPREFIX:=$PWD/$name}"
for dir in "$PWD" "$PWD/.." "$PWD/../.."; do
  if [ -f "$dir/CMakeCache.txt" ]; then WINEPREFIX="$dir/$name"; break; fi
done
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Wine turns Windows file names into Linux ones through the locale's character set: UTF-8
# always (Debian's C.UTF-8 is part of libc), so that any name works whatever the caller's locale.
export LC_ALL=C.UTF-8

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      /usr/lib/wine/wine64 wineboot --init >"$WINEPREFIX-setup.log" 2>&1
      if [ -n "${ORV_WINE_DPI-}" ]; then
        /usr/lib/wine/wine64 reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
          /d "$ORV_WINE_DPI" /f >>"$WINEPREFIX-setup.log" 2>&1
      fi
      /usr/lib/wine/wineserver --wait
    fi
  ) 9>"$WINEPREFIX.lock"
fi

if [ "${1-}" = --prepare ]; then exit 0; fi
exec /usr/lib/wine/wine64 "$@"
