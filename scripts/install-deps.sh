#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Quarn need; with --package,
# also what `make package` needs. Does nothing (and needs no network) when every package is
# already present.
set -euo pipefail

packages=(
  # build tools
  cmake ninja-build g++ clang pkg-config libclang-rt-14-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  # checks of the installed desktop entry, AppStream file and manual page
  desktop-file-utils appstream man-db
  # platform layer
  libsdl2-dev libgl-dev libegl-dev libgl1-mesa-dri
  libopenal-dev libopenal-data
  libavformat-dev libavcodec-dev libavutil-dev libswresample-dev libswscale-dev
  # image decoding and content generation
  libpng-dev libjpeg-dev zlib1g-dev libfreetype-dev fonts-dejavu-core
)
# The Debian package: its library dependencies are read by dpkg-shlibdeps, which CPack
# runs on the files that `file` says are programs.
if [ "${1:-}" = "--package" ]; then
  packages+=(dpkg-dev file)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    sudo="sudo"
  else
    echo "install-deps: need root (or sudo) to install: ${missing[*]}" >&2
    exit 1
  fi
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
