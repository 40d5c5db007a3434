#!/usr/bin/env bash
# Installs the Debian package of a Linux build tree with dpkg, loads every installed module (each
# format the build made, from its modules.txt) through the host library (orv-render), renders
# audio with each and removes the package again. The machine is left as it was, also when a step
# fails. Skipped, with the reason, without root or when the package or one of its modules is
# already on the machine. Prints one line of result.
# Usage: test-package.sh BUILD_DIR
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$(cd "$1" && pwd)
prefix=/usr

fail() { echo "package test: $*" >&2; exit 1; }
skip() { echo "skipped: $*"; exit 0; }

deb=$("$root/scripts/package.sh" "$dir")
name=$(dpkg-deb -f "$deb" Package)
[ "$(id -u)" -eq 0 ] || skip "installing a package needs root"
dpkg-query -W "$name" >/dev/null 2>&1 && skip "$name is already on this machine"

# format, title, the module in the build tree, the installed one below the prefix
formats=() built=() installed=()
while IFS=$'\t' read -r format _ path below; do
  formats+=("$format") built+=("$path") installed+=("$prefix/$below")
  [ -e "$prefix/$below" ] && skip "$prefix/$below is already on this machine"
done < "$dir/modules.txt"
[ ${#formats[@]} -gt 0 ] || fail "$dir/modules.txt lists no module"
# The standalone program with its desktop entry and icon, when the build made it.
program=()
if [ -x "$dir/bin/orv-q12" ]; then
  program=("$prefix/bin/orv-q12" "$prefix/share/applications/orv-q12.desktop"
           "$prefix/share/icons/hicolor/256x256/apps/orv-q12.png")
  for file in "${program[@]}"; do
    [ -e "$file" ] && skip "$file is already on this machine"
  done
  installed+=("${program[@]}")
fi
# The folders the modules go into, and whether each was there before.
folders_before=()
for module in "${installed[@]}"; do
  folders_before+=("$(dirname "$module") $([ -d "$(dirname "$module")" ] && echo present || echo absent)")
done

work=$(mktemp -d)
cleanup() {
  dpkg --purge "$name" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

dpkg -i "$deb" >/dev/null || fail "dpkg -i $deb failed"
case "$(dpkg-query -W -f='${Depends}' "$name")" in
  *libc6*) ;;
  *) fail "the package names no library dependencies" ;;
esac

"$dir/bin/orv-demo-signal" "$work/in.wav"
# libsndfile stamps a float WAV's PEAK chunk with the time it was written, so two renders a
# second apart differ there: only the samples, from the data chunk on, are compared.
samples() { tail -c +"$(($(grep -obUa -m1 data "$1" | head -1 | cut -d: -f1) + 1))" "$1"; }
for i in "${!formats[@]}"; do
  module=${installed[$i]} format=${formats[$i]}
  [ -e "$module" ] || fail "$module is not installed"
  "$dir/bin/orv-render" --plugin "$module" --list-params | grep -q '^Drive ' ||
    fail "the installed $format module lists no Drive parameter"
  "$dir/bin/orv-render" --plugin "$module" "$work/in.wav" "$work/installed-$format.wav" ||
    fail "the installed $format module did not render"
  "$dir/bin/orv-render" --plugin "${built[$i]}" "$work/in.wav" "$work/built-$format.wav"
  cmp -s <(samples "$work/installed-$format.wav") <(samples "$work/built-$format.wav") ||
    fail "the installed $format module sounds different from the one built"
done

if [ ${#program[@]} -gt 0 ]; then
  for file in "${program[@]}"; do [ -e "$file" ] || fail "$file is not installed"; done
  "${program[0]}" --version | grep -q "ORV Q12" || fail "the installed orv-q12 does not run"
  grep -q '^Exec=orv-q12$' "${program[1]}" || fail "the desktop entry does not start orv-q12"
fi

dpkg --purge "$name" >/dev/null || fail "dpkg --purge $name failed"
dpkg-query -W "$name" >/dev/null 2>&1 && fail "$name is still known to dpkg"
for module in "${installed[@]}"; do
  [ -e "$module" ] && fail "$module is still there"
done
for entry in "${folders_before[@]}"; do
  folder=${entry% *} before=${entry##* }
  [ "$([ -d "$folder" ] && echo present || echo absent)" = "$before" ] ||
    fail "$folder was $before before the test"
done
ran=""
[ ${#program[@]} -gt 0 ] && ran=", ran orv-q12"
echo "$(basename "$deb"): installed, loaded and rendered ${formats[*]}$ran, removed"
