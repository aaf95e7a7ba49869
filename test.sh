#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
"$top/scripts/setup.sh"
build=${ZUPIMS_BUILD_DIR:-$top/build}
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
