#!/usr/bin/env bash
# Installs the Debian package of a Linux build tree with dpkg, loads the installed module through
# the host library (orv-render), renders audio with it and removes the package again. The machine
# is left as it was, also when a step fails. Skipped, with the reason, without root or when the
# package or its module file is already on the machine. Prints one line of result.
# Usage: test-package.sh BUILD_DIR
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$(cd "$1" && pwd)
module=/usr/lib/vst/ORV_Q12.so

fail() { echo "package test: $*" >&2; exit 1; }
skip() { echo "skipped: $*"; exit 0; }

deb=$("$root/scripts/package.sh" "$dir")
name=$(dpkg-deb -f "$deb" Package)
[ "$(id -u)" -eq 0 ] || skip "installing a package needs root"
dpkg-query -W "$name" >/dev/null 2>&1 && skip "$name is already on this machine"
[ -e "$module" ] && skip "$module is already on this machine"
vst_dir_before=$([ -d "$(dirname "$module")" ] && echo present || echo absent)

work=$(mktemp -d)
cleanup() {
  dpkg --purge "$name" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

dpkg -i "$deb" >/dev/null || fail "dpkg -i $deb failed"
[ -f "$module" ] || fail "$module is not installed"
case "$(dpkg-query -W -f='${Depends}' "$name")" in
  *libc6*) ;;
  *) fail "the package names no library dependencies" ;;
esac

"$dir/bin/orv-render" --plugin "$module" --list-params | grep -q '^Drive ' ||
  fail "the installed module lists no Drive parameter"
"$dir/bin/orv-demo-signal" "$work/in.wav"
"$dir/bin/orv-render" --plugin "$module" "$work/in.wav" "$work/installed.wav" ||
  fail "the installed module did not render"
"$dir/bin/orv-render" "$work/in.wav" "$work/built.wav"
# libsndfile stamps a float WAV's PEAK chunk with the time it was written, so two renders a
# second apart differ there: only the samples, from the data chunk on, are compared.
samples() { tail -c +"$(($(grep -obUa -m1 data "$1" | head -1 | cut -d: -f1) + 1))" "$1"; }
cmp -s <(samples "$work/installed.wav") <(samples "$work/built.wav") ||
  fail "the installed module sounds different from the one built"

dpkg --purge "$name" >/dev/null || fail "dpkg --purge $name failed"
dpkg-query -W "$name" >/dev/null 2>&1 && fail "$name is still known to dpkg"
[ -e "$module" ] && fail "$module is still there"
[ "$([ -d "$(dirname "$module")" ] && echo present || echo absent)" = "$vst_dir_before" ] ||
  fail "$(dirname "$module") was $vst_dir_before before the test"
echo "$(basename "$deb"): installed, loaded, rendered, removed"
