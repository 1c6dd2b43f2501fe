#!/usr/bin/env bash
# Installs the Debian packages the project needs; does nothing when all are present.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev clang-format
  qt6-base-dev libqt6opengl6-dev libgl-dev libglu1-mesa-dev
  nlohmann-json3-dev libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool imagemagick fonts-dejavu-core locales-all
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
