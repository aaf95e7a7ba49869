#!/usr/bin/env bash
# The menu entries: installed for the user under XDG_DATA_HOME with Exec= the programs by absolute
# path, quoted as desktop entries want for a folder with a space, $, % and &; a second run
# rewrites nothing; desktop-file-validate (when the machine has it) finds nothing to say.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

plain=$work/bin
odd="$work/my \$apps 100% & co"
mkdir -p "$plain" "$odd"
for folder in "$plain" "$odd"; do
  touch "$folder/ZuCalendar" "$folder/ZuContact"
  chmod +x "$folder/ZuCalendar" "$folder/ZuContact"
done
export XDG_DATA_HOME=$work/data
apps=$XDG_DATA_HOME/applications
icons=$XDG_DATA_HOME/icons/hicolor

"$here/install.sh" "$plain" 2>"$work/err"
[ ! -s "$work/err" ] || fail "install.sh complained: $(cat "$work/err")"
for name in calendar contact; do
  [ -f "$apps/zupims-$name.desktop" ] || fail "no entry zupims-$name.desktop"
  [ -f "$icons/scalable/apps/zupims-$name.svg" ] || fail "no icon zupims-$name.svg"
  for size in 16 24 32 48 64 128 256; do
    [ -f "$icons/${size}x$size/apps/zupims-$name.png" ] || fail "no icon zupims-$name.png at $size"
  done
  grep -qx "Icon=zupims-$name" "$apps/zupims-$name.desktop" || fail "zupims-$name: Icon="
done
grep -qx "Exec=$plain/ZuCalendar" "$apps/zupims-calendar.desktop" || fail "calendar Exec=: $(grep ^Exec "$apps/zupims-calendar.desktop")"
grep -qx "Exec=$plain/ZuContact" "$apps/zupims-contact.desktop" || fail "contact Exec="
grep -qx "Name\[ko\]=일정" "$apps/zupims-calendar.desktop" || fail "calendar Name[ko]"
grep -qx "Name\[ko\]=주소록" "$apps/zupims-contact.desktop" || fail "contact Name[ko]"
grep -qx "Categories=Office;Calendar;" "$apps/zupims-calendar.desktop" || fail "calendar Categories"
if grep -q "@" "$apps"/*.desktop; then fail "a placeholder is left"; fi

# Again: nothing is rewritten.
before=$(find "$apps" "$icons" -type f -printf '%p %T@\n' | sort)
sleep 1
"$here/install.sh" "$plain"
[ "$(find "$apps" "$icons" -type f -printf '%p %T@\n' | sort)" = "$before" ] || fail "a second run rewrote files"

# A folder with a space, $, % and &: Exec= quotes it with $ escaped and % doubled, and the string
# escape doubles the backslash; TryExec= is the path itself.
"$here/install.sh" "$odd" 2>"$work/err"
[ ! -s "$work/err" ] || fail "install.sh complained: $(cat "$work/err")"
want="Exec=\"$work/my \\\\\$apps 100%% & co/ZuCalendar\""
grep -qxF "$want" "$apps/zupims-calendar.desktop" || fail "quoted Exec=: $(grep ^Exec "$apps/zupims-calendar.desktop"), want $want"
grep -qxF "TryExec=$odd/ZuCalendar" "$apps/zupims-calendar.desktop" || fail "TryExec="
echo ok
