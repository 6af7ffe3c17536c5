#!/usr/bin/env bash
# Installs every Debian package that tessaro's build, run and tests need (as root, non-interactive, idempotent).
set -euo pipefail
packages=(
  build-essential cmake pkg-config git
  libsdl1.2-dev libsdl-image1.2-dev libsdl-net1.2-dev
  libfreetype-dev libgl1-mesa-dev libglu1-mesa-dev libgl1-mesa-dri mesa-utils zlib1g-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  sox xvfb xauth x11-utils xdotool imagemagick netcat-openbsd
  fonts-dejavu-core python3
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
