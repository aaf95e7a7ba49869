#!/usr/bin/env bash
# Installs what is missing, builds, and starts the calendar on the user's own data folder (the
# store is made there on first use). With arguments it runs the command-line companion zupim
# with them instead (./run.sh agenda --month 2026-12-01, ./run.sh lunar 2006-01-29).
# Either way it records the programs' folder (zupim install), so the calendar and the contacts
# book can start each other, and puts their entries in the desktop's menu for this user.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
"$top/scripts/setup.sh"
build=${ZUPIMS_BUILD_DIR:-$top/build}
"$build/bin/zupim" install >/dev/null
"$top/desktop/install.sh" "$build/bin" || echo "run.sh: the menu entries were not installed" >&2
if [ $# -eq 0 ]; then
  exec "$build/bin/ZuCalendar"
fi
exec "$build/bin/zupim" "$@"
