#!/usr/bin/env bash
# Installs, for this user and without root, the menu entries of the calendar and the contacts book
# and their icons: ${XDG_DATA_HOME:-~/.local/share}/applications/zupims-{calendar,contact}.desktop
# (Exec= the built programs in BIN_DIR, by absolute path) and the icons under the user's hicolor
# theme (icons/hicolor/<size>/apps/zupims-{calendar,contact}.{png,svg}). Running it again changes nothing unless a file differs.
# Usage: desktop/install.sh BIN_DIR
set -euo pipefail
shopt -u patsub_replacement 2>/dev/null || true  # an & in a path stays an &
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
[ $# -eq 1 ] || { echo "usage: $0 BIN_DIR" >&2; exit 2; }
bin=$(cd "$1" && pwd)
data=${XDG_DATA_HOME:-$HOME/.local/share}
apps=$data/applications
icons=$data/icons/hicolor
mkdir -p "$apps"

# A string value of a desktop entry escapes the backslash; Exec= quotes a path with anything but
# plain characters, with ", `, $ and \ escaped inside the quotes and % doubled.
escape_string() { printf '%s' "${1//\\/\\\\}"; }
exec_path() {
  local p=$1
  if [[ $p =~ ^[A-Za-z0-9/._+-]+$ ]]; then
    printf '%s' "$p"
  else
    p=${p//\\/\\\\}; p=${p//\"/\\\"}; p=${p//\`/\\\`}; p=${p//\$/\\\$}; p=${p//%/%%}
    escape_string "\"$p\""
  fi
}
# Copies from standard input to $1 only when the content differs.
put() {
  local tmp
  tmp=$(mktemp "$1.XXXXXX")
  cat >"$tmp"
  if cmp -s "$tmp" "$1"; then rm -f "$tmp"; return 1; fi
  chmod 644 "$tmp"
  mv -f "$tmp" "$1"
}

changed=0
for program in calendar:ZuCalendar contact:ZuContact; do
  name=${program%%:*} binary=$bin/${program#*:}
  entry=$apps/zupims-$name.desktop
  exec=$(exec_path "$binary") tryexec=$(escape_string "$binary")
  text=$(<"$here/zupims-$name.desktop.in")
  text=${text//@EXEC@/$exec}
  text=${text//@TRYEXEC@/$tryexec}
  if printf '%s\n' "$text" | put "$entry"; then
    changed=1
  fi
  # desktop/icons/<size>/ holds the PNG files at 16 to 256 pixels and the SVG (scalable).
  for icon in "$here"/icons/*/zupims-"$name".*; do
    size=$(basename "$(dirname "$icon")")
    mkdir -p "$icons/$size/apps"
    if put "$icons/$size/apps/$(basename "$icon")" <"$icon"; then changed=1; fi
  done
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$entry" >&2 || echo "$entry: see desktop-file-validate above" >&2
  fi
done
if [ $changed -eq 1 ]; then
  # Menus notice new icons by the theme folder's time.
  touch "$icons"
fi
