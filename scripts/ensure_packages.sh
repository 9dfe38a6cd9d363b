#!/usr/bin/env bash
# Installs the Debian packages Kelvra builds, runs and tests with, and the
# glTF validator the export tests run, but only what is missing: with
# everything present this prints nothing and touches no network.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

packages=(
  g++ cmake ninja-build pkg-config
  freeglut3-dev libglu1-mesa-dev libx11-dev libgl1-mesa-dri libimgui-dev fonts-dejavu-core
  libgtest-dev googletest libbenchmark-dev
  libpng-dev libassimp-dev libzip-dev nlohmann-json3-dev
  libavcodec-dev libavformat-dev libswscale-dev ffmpeg
  xvfb xauth xdotool x11-utils imagemagick
  libxi-dev xinput xserver-xorg-core xserver-xorg-video-dummy xserver-xorg-dev
  dpkg-dev desktop-file-utils shared-mime-info libglib2.0-bin
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
# Node.js runs the glTF validator; a node that came from elsewhere (with
# its own npm) is as good as Debian's.
command -v node >/dev/null || missing+=(nodejs)
command -v npm >/dev/null || missing+=(npm)

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing missing packages: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
fi

# The Khronos glTF validator from npm, at the version package-lock.json
# pins, into tools/gltf_validator/node_modules (git-ignored).
validator="$root/tools/gltf_validator"
if [ ! -f "$validator/node_modules/gltf-validator/package.json" ]; then
  echo "Installing the glTF validator (npm ci in tools/gltf_validator)"
  (cd "$validator" && npm ci --no-audit --no-fund --loglevel=error >/dev/null)
fi
