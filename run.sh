#!/usr/bin/env bash
# Installs what is missing, builds, and starts the suite's main program on its own data folder.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
"$top/scripts/setup.sh"
build=${ZUPIMS_BUILD_DIR:-$top/build}
"$build/bin/zupim" install >/dev/null
exec "$build/bin/zupim" "${@:-help}"
