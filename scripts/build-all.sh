#!/usr/bin/env bash
# Builds everything (the Linux module and tools, the Windows DLL), renders a demo signal through
# the freshly built Linux module and packages both modules; the Windows build makes the installer
# itself. Installs what it needs first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/install-deps.sh"

echo "== Linux: building"
"$root/scripts/build-linux.sh" build/linux
echo "== Windows: cross-building"
"$root/scripts/build-windows.sh" build/win64

echo "== Rendering the demo"
mkdir -p build/demo
build/linux/bin/orv-demo-signal build/demo/riff.wav
build/linux/bin/orv-render --param Drive=7 --param Volume=4 build/demo/riff.wav build/demo/riff-orv-q12.wav

echo "== Packaging"
deb=$("$root/scripts/package.sh" build/linux)
zip=$("$root/scripts/package.sh" build/win64)
# Named as the zip is: ORV_Q12-<version>-setup.exe beside ORV_Q12-<version>-win64.zip.
installer=${zip%-win64.zip}-setup.exe
[ -f "$installer" ] || { echo "the Windows build made no installer $installer" >&2; exit 1; }

# Every module each build made, from the list the build writes (modules.txt).
modules() {
  local system=$1 tree=$2
  while IFS=$'\t' read -r _ title path _; do
    printf '%-28s %s\n' "$system $title module:" "$path"
  done < "$tree/modules.txt"
}

echo
modules Linux "$root/build/linux"
modules Windows "$root/build/win64"
cat <<TXT
Standalone program:          $root/build/linux/bin/orv-q12
Demo input:                  $root/build/demo/riff.wav
Demo through ORV Q12:        $root/build/demo/riff-orv-q12.wav
Debian package:              $deb
Windows zip:                 $zip
Windows installer:           $installer
TXT
