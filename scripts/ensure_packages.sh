#!/usr/bin/env bash
# Installs the Debian packages Kelvra builds, runs and tests with, but only
# those that are missing: with everything present this prints nothing and
# touches no network.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  freeglut3-dev libglu1-mesa-dev libx11-dev libgl1-mesa-dri libimgui-dev
  libgtest-dev googletest libbenchmark-dev
  libpng-dev libassimp-dev libzip-dev nlohmann-json3-dev
  xvfb xauth xdotool x11-utils imagemagick
  dpkg-dev desktop-file-utils
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
  "${missing[@]}" >/dev/null
