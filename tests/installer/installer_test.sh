#!/usr/bin/env bash
# The Windows installer under Wine, in a fresh prefix of its own: what /S installs and where,
# each installed module loaded through the host library, the uninstall entry, a second install
# over the first, a module held by a running host, a VST 2 folder of the user's and its being
# remembered, the silent uninstaller, and one format alone.
# Usage: installer_test.sh SETUP.exe PROBE.exe STAGE_DIR PREFIX_DIR
set -euo pipefail
setup=$1 probe=$2 stage=$3
export WINEPREFIX=$4 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
wine=/usr/lib/wine/wine64
started=$SECONDS

fail() { echo "FAILED: $*" >&2; exit 1; }
step() { echo "-- $* ($((SECONDS - started)) s)"; }

rm -rf "$WINEPREFIX"
mkdir -p "$(dirname "$WINEPREFIX")"
"$wine" wineboot --init >"$WINEPREFIX-setup.log" 2>&1
/usr/lib/wine/wineserver --wait
holder=""
cleanup() {
  [ -n "$holder" ] && exec 7>&-
  /usr/lib/wine/wineserver --kill >/dev/null 2>&1 || true
}
trap cleanup EXIT

c="$WINEPREFIX/drive_c"
vst2_dir="$c/Program Files/VSTPlugins"
vst3_bundle="$c/Program Files/Common Files/VST3/ORV_Q12.vst3"
clap_file="$c/Program Files/Common Files/CLAP/ORV_Q12.clap"
product_dir="$c/Program Files/ORV AUDIO/ORV Q12"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ORV_Q12'

install() { "$wine" "$setup" "$@" || fail "setup.exe $* exited with $?"; }
# The uninstaller copies itself away and returns at once: the server waits for the copy.
uninstall() {
  local quiet
  quiet=$("$wine" reg query "$uninstall_key" /v QuietUninstallString | tr -d '\r' |
          sed -n 's/.*REG_SZ *//p')
  [ "$quiet" = '"C:\Program Files\ORV AUDIO\ORV Q12\Uninstall.exe" /S' ] ||
    fail "QuietUninstallString is '$quiet'"
  "$wine" "$c/Program Files/ORV AUDIO/ORV Q12/Uninstall.exe" /S || fail "the uninstaller failed"
  /usr/lib/wine/wineserver --wait
}
# Every staged file of the module is installed, byte for byte.
same_as_staged() {
  local staged=$1 installed=$2
  diff -r "$staged" "$installed" >/dev/null || fail "$installed differs from $staged"
}
load() {
  "$wine" "$probe" load "$@" | tr -d '\r' | grep -c ': ORV Q12 1.1.0$' |
    grep -qx "$#" || fail "the installed modules did not all load: $*"
}
absent() { for f in "$@"; do [ ! -e "$f" ] || fail "$f is still there"; done; }

step "/S: every format where its hosts look"
install /S
same_as_staged "$stage/ORV_Q12.dll" "$vst2_dir/ORV_Q12.dll"
same_as_staged "$stage/ORV_Q12.vst3" "$vst3_bundle"
same_as_staged "$stage/ORV_Q12.clap" "$clap_file"
load 'C:\Program Files\VSTPlugins\ORV_Q12.dll' 'C:\Program Files\Common Files\VST3\ORV_Q12.vst3' \
  'C:\Program Files\Common Files\CLAP\ORV_Q12.clap'

step "the uninstall entry"
entry=$("$wine" reg query "$uninstall_key" | tr -d '\r')
for expected in 'DisplayName    REG_SZ    ORV Q12' 'Publisher    REG_SZ    ORV AUDIO' \
    'DisplayVersion    REG_SZ    1.1.0' \
    'DisplayIcon    REG_SZ    C:\Program Files\ORV AUDIO\ORV Q12\Uninstall.exe,0' \
    'InstallLocation    REG_SZ    C:\Program Files\ORV AUDIO\ORV Q12' \
    'UninstallString    REG_SZ    "C:\Program Files\ORV AUDIO\ORV Q12\Uninstall.exe"'; do
  grep -qF "    $expected" <<<"$entry" || fail "the uninstall entry lacks '$expected'"
done
size_kb=$(($(sed -n 's/.*EstimatedSize *REG_DWORD *//p' <<<"$entry")))
staged_kb=$(($(du -skc "$stage"/ORV_Q12.* | tail -1 | cut -f1)))
[ "$size_kb" -ge $((staged_kb * 9 / 10)) ] && [ "$size_kb" -le $((staged_kb * 11 / 10)) ] ||
  fail "EstimatedSize is $size_kb KB for $staged_kb KB of modules"
[ -f "$product_dir/Uninstall.exe" ] || fail "no uninstaller in $product_dir"

step "a second /S over the first"
echo stale >"$vst3_bundle/Contents/Resources/stale.txt"
install /S
absent "$vst3_bundle/Contents/Resources/stale.txt"
same_as_staged "$stage/ORV_Q12.vst3" "$vst3_bundle"

step "a running host holds the VST 2 module: setup stops before writing anything"
rm -f "$clap_file"
fifo="$WINEPREFIX-hold"
rm -f "$fifo" "$fifo.out" && mkfifo "$fifo"
"$wine" "$probe" hold 'C:\Program Files\VSTPlugins\ORV_Q12.dll' <"$fifo" >"$fifo.out" &
exec 7>"$fifo"
holder=$!
for _ in $(seq 100); do grep -q held "$fifo.out" && break; sleep 0.1; done
grep -q held "$fifo.out" || fail "the holding host did not load the module"
status=0
"$wine" "$setup" /S || status=$?
[ "$status" -eq 3 ] || fail "setup.exe over a module in use exited with $status, not 3"
absent "$clap_file"
exec 7>&-
wait "$holder"
holder=""

step "/D= a VST 2 folder of the user's, then remembered by the next install"
install /S '/D=C:\Audio\VST2'
user_dir="$c/Audio/VST2"
same_as_staged "$stage/ORV_Q12.dll" "$user_dir/ORV_Q12.dll"
same_as_staged "$stage/ORV_Q12.clap" "$clap_file"
absent "$vst2_dir"
echo other >"$user_dir/Other.dll"
install /S
same_as_staged "$stage/ORV_Q12.dll" "$user_dir/ORV_Q12.dll"
absent "$vst2_dir"

step "the silent uninstaller"
uninstall
absent "$user_dir/ORV_Q12.dll" "$vst3_bundle" "$clap_file" "$c/Program Files/ORV AUDIO"
[ "$(ls "$user_dir")" = Other.dll ] || fail "the VST 2 folder lost a file of its own"
for key in "$uninstall_key" 'HKLM\Software\ORV AUDIO'; do
  ! "$wine" reg query "$key" >/dev/null 2>&1 || fail "$key is still in the registry"
done

step "/FORMATS=vst3: that format alone, then removed"
status=0
"$wine" "$setup" /S /FORMATS=vst4 || status=$?
[ "$status" -eq 2 ] || fail "setup.exe /FORMATS=vst4 exited with $status, not 2"
absent "$product_dir"
install /S /FORMATS=vst3
same_as_staged "$stage/ORV_Q12.vst3" "$vst3_bundle"
absent "$vst2_dir" "$user_dir/ORV_Q12.dll" "$clap_file"
load 'C:\Program Files\Common Files\VST3\ORV_Q12.vst3'
uninstall
absent "$vst3_bundle" "$c/Program Files/ORV AUDIO"

step "passed"
