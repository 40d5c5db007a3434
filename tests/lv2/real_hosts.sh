#!/usr/bin/env bash
# The LV2 bundle in real hosts and tools, each run as a host of it and nothing else: the search
# path they get holds the bundle and lv2-dev's own bundles (core.lv2, ui.lv2 and the others)
# only, so that no other plug-in on the machine is read, and their settings and sessions live in
# a temporary folder.
# Usage: real_hosts.sh CHECK BUNDLE BUILD_DIR, CHECK one of
#   validate  every .ttl of the bundle against lv2-dev's schemas (sord_validate): 0 errors
#   lv2apply  lilv's lv2apply renders a file with the samples orv-render renders through VST 2
#   jalv      jalv runs the plug-in on a JACK server of its own (the dummy driver) and exits
#   ardour    a headless Ardour session (its dummy backend's sine as input) plays the plug-in,
#             follows its controls and keeps them across saving and loading
set -euo pipefail
# JACK keeps its servers, their sockets and its table of servers (eight at most, which fills with
# entries of servers that died unclean) in /dev/shm: jalv's server gets a /dev/shm of its own
# where the system allows one.
if [ "$1" = jalv ] && [ -z "${ORV_PRIVATE_SHM:-}" ] && unshare -m true 2>/dev/null; then
  exec env ORV_PRIVATE_SHM=1 unshare -m sh -c 'mount -t tmpfs tmpfs /dev/shm && exec "$0" "$@"' \
    "$0" "$@"
fi
check=$1 bundle=$(cd "$2" && pwd) build=$(cd "$3" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
uri=$(sed -n 's/^<\([^#>]*\)>$/\1/p' "$bundle/manifest.ttl" | head -1)

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAILED: $*" >&2; exit 1; }

spec_ttl() { dpkg -L lv2-dev | grep '\.ttl$'; }

# A search path of the bundle and lv2-dev's own bundles only.
search_path() {
  mkdir -p "$work/lv2"
  ln -s "$bundle" "$work/lv2/"
  dpkg -L lv2-dev | grep -E '^/usr/lib/lv2/[^/]+\.lv2$' | while read -r b; do ln -s "$b" "$work/lv2/"; done
  echo "$work/lv2"
}

# The samples of a WAV file, from its data chunk on (libsndfile stamps other chunks with the time).
samples() { tail -c +"$(($(grep -obUa -m1 data "$1" | head -1 | cut -d: -f1) + 9))" "$1"; }

case $check in
validate)
  result=$(sord_validate $(spec_ttl) "$bundle"/*.ttl 2>&1 | tail -1)
  echo "$result"
  [[ $result == "Found 0 errors among"* ]] || fail "sord_validate: $result"
  ;;

lv2apply)
  /usr/bin/python3 "$here/stereo_tones.py" "$work/in.wav"
  settings=(Drive=7.5 Filter=2.5 Volume=6 Stereo=1)
  controls=() params=()
  for s in "${settings[@]}"; do
    name=${s%=*} value=${s#*=}
    params+=(--param "$s") controls+=(-c "${name,,}" "$value")
  done
  "$build/bin/orv-render" --plugin "$build/ORV_Q12.so" "${params[@]}" "$work/in.wav" "$work/vst2.wav"
  LV2_PATH=$(search_path) lv2apply -i "$work/in.wav" -o "$work/lv2.wav" "${controls[@]}" "$uri"
  cmp <(samples "$work/vst2.wav") <(samples "$work/lv2.wav") ||
    fail "lv2apply's render differs from orv-render's through VST 2"
  echo "lv2apply and orv-render (VST 2) rendered the same $(samples "$work/lv2.wav" | wc -c) bytes of samples (${settings[*]})"
  ;;

jalv)
  export LV2_PATH JACK_NO_AUDIO_RESERVATION=1
  LV2_PATH=$(search_path)
  server=orv-lv2-jalv-$$
  jackd -n "$server" -r -d dummy -r 48000 -p 256 >"$work/jackd.log" 2>&1 &
  pids+=($!)
  jack_wait -s "$server" -w -t 10 >/dev/null || fail "no JACK server: $(cat "$work/jackd.log")"
  export JACK_DEFAULT_SERVER=$server
  # A control set on the command line, another typed at jalv's prompt while it runs.
  mkfifo "$work/commands"
  jalv -x -n orv-q12 -c volume=6 "$uri" <"$work/commands" >"$work/jalv.log" 2>&1 &
  jalv=$!
  pids+=($jalv)
  exec 3>"$work/commands"
  for _ in $(seq 50); do
    jack_lsp 2>/dev/null | grep -q '^orv-q12:out_r$' && break
    sleep 0.1
  done
  ports=$(jack_lsp 2>/dev/null | grep '^orv-q12:' | tr '\n' ' ')
  echo "drive = 9" >&3
  sleep 1.5
  kill -INT $jalv
  status=0
  wait $jalv || status=$?
  exec 3>&-
  cat "$work/jalv.log"
  echo
  [ "$ports" = "orv-q12:in_l orv-q12:in_r orv-q12:out_l orv-q12:out_r " ] ||
    fail "jalv's JACK ports: '$ports'"
  grep -q '^volume = 6\.0' "$work/jalv.log" || fail "jalv did not set volume"
  grep -q 'drive = 9\.0' "$work/jalv.log" || fail "jalv did not take drive = 9"
  [ $status -eq 0 ] || fail "jalv exited with $status"
  echo "jalv ran the plug-in with ports $ports on JACK's dummy driver and exited cleanly"
  ;;

ardour)
  LV2_PATH=$(search_path) XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache \
    LXVST_PATH=$work/none VST3_PATH=$work/none \
    ardour7-lua "$here/ardour_session.lua" "$work/session" "$uri" 2>&1 | tee "$work/ardour.log" |
    grep -E '^(level|state|FAILED)' || true
  grep -q '^FAILED' "$work/ardour.log" && fail "the Ardour session"
  grep -q '^state kept' "$work/ardour.log" || fail "the Ardour session did not finish"
  ;;

*) fail "no such check: $check" ;;
esac
