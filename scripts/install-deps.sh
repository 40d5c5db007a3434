#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 machine. Idempotent: packages that
# are already installed are not fetched again.
set -euo pipefail

packages=(
  cmake g++ make pkg-config binutils libtsan2 clang-14 libclang-rt-14-dev
  libpng-dev zlib1g-dev libfreetype-dev libfontconfig-dev fonts-dejavu-core
  libsndfile1-dev googletest libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 libz-mingw-w64-dev
  wine64 xvfb xauth
  libxcb1-dev libxcb-xtest0-dev libxcb-res0-dev
  dpkg-dev file
  python3-matplotlib python3-numpy python3-cairo
  # The other formats and the hosts that test them: LV2's headers and schemas, lilv, JACK, the
  # real hosts (Ardour, Qtractor, lilv's tools, jalv) and the Windows installer's compiler.
  lv2-dev sordi liblilv-dev lilv-utils libjack-jackd2-dev jackd2 jalv ardour qtractor nsis
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# --- libpng source for the Windows cross build (raster) ---------------------------------------
# mingw has no libpng package, so the cross build compiles Debian's own libpng source package.
# The deb-src entry reuses the machine's main archive stanza: its Types line gains "deb-src", so no
# address is written anywhere. The tarballs land in ORV_LIBPNG_SRC_DIR, which
# cmake/libpng-mingw.cmake reads (default: ~/.cache/orv/libpng).
libpng_dir=${ORV_LIBPNG_SRC_DIR:-$HOME/.cache/orv/libpng}
if ! ls "$libpng_dir"/libpng1.6_*.orig.tar.* >/dev/null 2>&1; then
  sources=/etc/apt/sources.list.d/debian.sources
  if ! grep -q '^Types:.*deb-src' "$sources"; then
    # Only the first stanza (the main archive): the security stanza's pool lacks the sources.
    awk 'BEGIN { done = 0 }
         /^Types:/ && !done { if ($0 !~ /deb-src/) $0 = $0 " deb-src"; done = 1 }
         { print }' "$sources" > "$sources.orv-tmp"
    mv "$sources.orv-tmp" "$sources"
  fi
  apt-get update -qq
  mkdir -p "$libpng_dir"
  # Fetched as root: the _apt sandbox user cannot write into a root-owned folder.
  (cd "$libpng_dir" && apt-get source --download-only -qq -o APT::Sandbox::User=root libpng1.6)
fi
# --- end of libpng source block ---------------------------------------------------------------
