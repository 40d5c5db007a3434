#!/usr/bin/env bash
# Regenerates the pictures in docs/ from a fresh Linux build, one step per picture or group of
# pictures. Installs what it needs first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/install-deps.sh"
"$root/scripts/build-linux.sh" build/linux >/dev/null
bin=build/linux/bin

# The sound: transfer curve, harmonics, tone control, aliasing (orv-render through the module).
/usr/bin/python3 scripts/sound_pictures.py --orv-render "$bin/orv-render" --out docs

# The panel, drawn by the editor itself (orv-snapshot): fresh, and played.
cmake --build build/linux --target docs-pictures >/dev/null
