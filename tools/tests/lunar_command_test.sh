#!/bin/bash
# Checks `zupim lunar` and `zupim solar`: arguments and standard input, leap months, errors on
# standard error with the other lines still converted, and the exit status.
# usage: lunar_command_test.sh PATH-TO-ZUPIM
set -u
zupim=$1
failed=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# expect NAME STATUS STDOUT STDERR -- COMMAND...   (standard input comes from $work/in)
expect() {
    local name=$1 status=$2 out=$3 err=$4
    shift 5
    "$@" <"$work/in" >"$work/out" 2>"$work/err"
    local got=$?
    if [[ $got != "$status" || $(cat "$work/out") != "$out" || $(cat "$work/err") != "$err" ]]; then
        echo "FAIL: $name"
        echo "  status $got (expected $status)"
        echo "  stdout:"; sed 's/^/    /' "$work/out"
        echo "  expected:"; printf '%s\n' "$out" | sed 's/^/    /'
        echo "  stderr:"; sed 's/^/    /' "$work/err"
        echo "  expected:"; printf '%s\n' "$err" | sed 's/^/    /'
        failed=1
    fi
}

: >"$work/in"
expect "lunar arguments" 0 $'2004-01-01\n2004-윤02-01\n2043-12-30' "" -- \
    "$zupim" lunar 2004-01-22 2004-03-21 2044-01-29
expect "solar arguments" 0 $'2004-02-20\n2004-03-21\n2006-01-29' "" -- \
    "$zupim" solar 2004-02-01 2004-윤02-01 2006-1-1

printf '%s\n' 2004-09-28 '' 1850-01-01 2004-3-21 2005-02-30 ' 2006-01-29 ' 2044-01-30 2004/09/28 2000-02-29 >"$work/in"
expect "lunar from standard input" 1 $'2004-08-15\n2004-윤02-01\n2006-01-01\n2000-01-25' \
"zupim: 1850-01-01: outside the lunar table (1881-01-30 to 2044-01-29)
zupim: 2005-02-30: no such date
zupim: 2044-01-30: outside the lunar table (1881-01-30 to 2044-01-29)
zupim: 2004/09/28: not a date (expected YYYY-MM-DD)" -- "$zupim" lunar

printf '%s\r\n' 2004-08-15 2004-13-01 2005-윤02-01 2006-윤02-01 2004-01-30 1880-12-01 2004-윤2-29 2004-02-31 윤 >"$work/in"
expect "solar from standard input" 1 $'2004-09-28\n2004-02-20\n2004-04-18' \
"zupim: 2004-13-01: no such lunar date (months 1 to 12, days 1 to 30)
zupim: 2005-윤02-01: lunar year 2005 has no leap month
zupim: 2006-윤02-01: lunar year 2006 has no leap month 윤02 (its leap month is 윤07)
zupim: 1880-12-01: outside the lunar table (lunar years 1881 to 2043)
zupim: 2004-02-31: no such lunar date (months 1 to 12, days 1 to 30)
zupim: 윤: not a lunar date (expected YYYY-MM-DD, or YYYY-윤MM-DD for a leap month)" -- "$zupim" solar

: >"$work/in"
expect "a solar date has no leap month" 1 "" \
    "zupim: 2004-윤02-01: not a date (expected YYYY-MM-DD)" -- "$zupim" lunar 2004-윤02-01

[[ $failed == 0 ]] && echo "zupim lunar and solar: all cases passed"
exit $failed
