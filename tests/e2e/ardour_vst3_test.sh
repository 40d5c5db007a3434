#!/usr/bin/env bash
# Ardour 7 as a real host of the VST 3 bundle, headless: its scanner indexes the bundle, then
# ardour7-lua runs ardour_vst3_session.lua (a session on the dummy backend, the plug-in on a
# track, its parameters listed and set, audio played, the session saved and opened again). Ardour
# sees only this bundle: its home folder, search path, caches and settings are a temporary folder
# of the test's. Exits 77 (skipped) where Ardour is not installed.
# Usage: ardour_vst3_test.sh BUNDLE CLASS_ID
set -euo pipefail
bundle=$1 class_id=$2
script=$(cd "$(dirname "$0")" && pwd)/ardour_vst3_session.lua
scanner=/usr/lib/ardour7/ardour-vst3-scanner
command -v ardour7-lua >/dev/null && [ -x "$scanner" ] || { echo "Ardour 7 is not installed"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/.vst3" "$work/lv2" "$work/config/ardour7"
ln -s "$bundle" "$work/.vst3/"
cat > "$work/config/ardour7/config" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<Ardour><Config><Option name="plugin-path-vst3" value="$work/.vst3"/></Config></Ardour>
XML
export HOME=$work XDG_CACHE_HOME=$work/cache XDG_CONFIG_HOME=$work/config LV2_PATH=$work/lv2

scan=$(LD_LIBRARY_PATH=/usr/lib/ardour7 "$scanner" -f -v "$work/.vst3/$(basename "$bundle")" 2>&1)
echo "$scan" | grep -E 'Found Plugin|VST3Info' || true
echo "$scan" | grep -q "uid=\"$class_id\" name=\"ORV Q12\" vendor=\"ORV AUDIO\" category=\"Fx|Distortion\"" ||
  { echo "$scan"; echo "the scanner did not index ORV Q12"; exit 1; }

session=$(cd "$work" && timeout 100 ardour7-lua "$script" \
  "$work/session" "$class_id" 2>&1) || true
echo "$session" | grep -E '^(plugin|parameters|level|check)' || true
echo "$session" | grep -q '^check FAILED' && exit 1
echo "$session" | grep -q '^ardour: done$' || { echo "$session"; echo "the session did not finish"; exit 1; }
