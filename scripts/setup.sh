#!/usr/bin/env bash
# Installs every Debian package that tessaro's build, run and tests need (as root, non-interactive, idempotent).
set -euo pipefail
packages=(
  build-essential cmake pkg-config git dpkg-dev
  libsdl1.2-dev libsdl-image1.2-dev libsdl-net1.2-dev libsndfile1-dev libsamplerate0-dev
  jackd2 libjack-jackd2-dev
  libfreetype-dev libgl1-mesa-dev libglu1-mesa-dev libgl1-mesa-dri mesa-utils zlib1g-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  sox xvfb xauth x11-utils xdotool imagemagick netcat-openbsd
  fonts-dejavu-core python3 python3-numpy python3-pil fonts-atarismall
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The label font: the freely licensed pixel font of fonts-atarismall, under the name the program
# opens, with its licence beside it.
root="$(cd "$(dirname "$0")/.." && pwd)"
if [ ! -f "$root/Fonts/04B_03B_.TTF" ]; then
  mkdir -p "$root/Fonts"
  cp /usr/share/fonts/truetype/fonts-atarismall/AtariSmall.ttf "$root/Fonts/04B_03B_.TTF"
fi
if [ ! -f "$root/Fonts/LICENSE-AtariSmall" ]; then
  cp /usr/share/doc/fonts-atarismall/copyright "$root/Fonts/LICENSE-AtariSmall"
fi
