#!/bin/bash
# zupim starts fast because it loads Qt Core and SQLite only: the shared libraries of the suite
# (which bring Qt Gui, Widgets and Network) and libical must never become its dependencies.
# Import and export still work, through zupim-ical beside it.
# usage: zupim_process_test.sh PATH-TO-ZUPIM
set -u
zupim=$1
failed=0
needed=$(readelf -d "$zupim" | grep NEEDED)
for lib in libQt6Gui libQt6Widgets libQt6Network libical libZuPlatform libZuUtils libZuCommonLib libDllZuCalOption; do
    if grep -q "$lib" <<<"$needed"; then
        echo "FAIL: zupim loads $lib"
        failed=1
    fi
done
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
if ! ZUPIMS_HOME=$home "$zupim" export - | grep -q '^BEGIN:VCALENDAR'; then
    echo "FAIL: zupim export - does not write a calendar"
    failed=1
fi
ZUPIMS_HOME=$home "$zupim" import "$home/missing.ics" 2>"$home/err"
if [[ $? != 1 ]] || ! grep -q 'cannot open' "$home/err"; then
    echo "FAIL: zupim import of a missing file:"
    cat "$home/err"
    failed=1
fi
"$zupim" install a b 2>"$home/err"
if [[ $? != 2 ]] || ! grep -q '^usage: zupim install \[FOLDER\]' "$home/err"; then
    echo "FAIL: zupim install with two folders does not print its usage:"
    cat "$home/err"
    failed=1
fi
exit $failed
