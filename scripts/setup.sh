#!/usr/bin/env bash
# Installs the Debian packages the project needs; does nothing when all are present.
set -euo pipefail

packages=(
  # Build: compilers (clang for the fuzz targets), CMake with Ninja; pkg-config is asked by
  # Qt's CMake modules.
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev clang-format
  # Libraries.
  qt6-base-dev libqt6opengl6-dev qt6-charts-dev libgl-dev libglu1-mesa-dev
  # Sound: OpenAL Soft.
  libopenal-dev
  # Translations of our own texts: lrelease and the CMake functions that run it.
  qt6-l10n-tools qt6-tools-dev
  nlohmann-json3-dev libgtest-dev libgmock-dev libbenchmark-dev
  # Network matches: ENet, reliable UDP.
  libenet-dev
  # Scripts: Lua 5.4 (computer opponents in data/ai/).
  liblua5.4-dev
  # Window tests under Xvfb; labels need a font; the Russian locale for number tests.
  xvfb xauth xdotool fonts-dejavu-core locales-all
  # Batches split into shards (the shard test runs them with GNU parallel).
  parallel
  # Package: dpkg-shlibdeps and dpkg-deb, file (CPack finds the programs with it), and the
  # checkers of the desktop entry, the metainfo and the package (lintian).
  dpkg-dev file desktop-file-utils appstream lintian
  # make coverage: line and branch figures per folder.
  gcovr
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
