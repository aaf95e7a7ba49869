#!/usr/bin/env bash
# Installs what the build needs from Debian's packages (only what is missing), then configures and
# builds into build/ (or $ZUPIMS_BUILD_DIR). Extra arguments go to CMake's configure step.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
packages=(cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libsqlite3-dev
          libgtest-dev libgmock-dev libbenchmark-dev libical-dev libcrypt-dev libxcb1-dev fonts-nanum)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
build=${ZUPIMS_BUILD_DIR:-$top/build}
cmake -S "$top" -B "$build" -G Ninja "$@"
cmake --build "$build" -j "$(nproc)"
