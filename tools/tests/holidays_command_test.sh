#!/bin/bash
# Checks `zupim holidays`: the lines of a year, a span of years, --tsv with the named days that are
# not red, the errors with their exit status, and that the whole covered span prints.
# usage: holidays_command_test.sh PATH-TO-ZUPIM
set -u
zupim=$1
failed=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# expect NAME STATUS STDOUT STDERR -- COMMAND...
expect() {
    local name=$1 status=$2 out=$3 err=$4
    shift 5
    "$@" >"$work/out" 2>"$work/err"
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

T=$'\t'
expect "one year" 0 "2025-01-01${T}신정
2025-01-27${T}임시공휴일
2025-01-28${T}설날 전날
2025-01-29${T}설날
2025-01-30${T}설날 다음날
2025-03-01${T}삼일절
2025-03-03${T}대체공휴일
2025-05-05${T}어린이날, 석가탄신일
2025-05-06${T}대체공휴일
2025-06-03${T}대통령 선거일
2025-06-06${T}현충일
2025-08-15${T}광복절
2025-10-03${T}개천절
2025-10-05${T}추석 전날
2025-10-06${T}추석
2025-10-07${T}추석 다음날
2025-10-08${T}대체공휴일
2025-10-09${T}한글날
2025-12-25${T}크리스마스" "" -- "$zupim" holidays 2025

# --tsv adds the named days that are not red (식목일 from 2006), and the red column.
"$zupim" holidays --tsv 2005 2006 >"$work/tsv" 2>&1
if ! grep -qx "2005-04-05${T}식목일${T}1" "$work/tsv" || ! grep -qx "2006-04-05${T}식목일${T}0" "$work/tsv" \
    || ! grep -qx "2006-12-25${T}크리스마스${T}1" "$work/tsv" || [[ $(grep -c . "$work/tsv") != $(grep -c "${T}[01]\$" "$work/tsv") ]]; then
    echo "FAIL: --tsv 2005 2006"; sed 's/^/    /' "$work/tsv"; failed=1
fi
if "$zupim" holidays 2006 | grep -q 식목일; then
    echo "FAIL: 식목일 listed as a public holiday in 2006"; failed=1
fi

# The whole span: every year has its days, in order, each line a date and a name.
"$zupim" holidays 1990 2043 >"$work/all" 2>"$work/err"
if [[ $? != 0 || -s "$work/err" ]] || ! sort -c "$work/all" 2>/dev/null \
    || [[ $(cut -c1-4 "$work/all" | sort -u | wc -l) != 54 ]] || grep -qv "^[0-9]\{4\}-[0-9][0-9]-[0-9][0-9]${T}[^${T}]*\$" "$work/all"; then
    echo "FAIL: holidays 1990 2043"; head "$work/err"; failed=1
fi

usage="usage: zupim holidays FROM_YEAR [TO_YEAR] [--tsv]"
range="outside the years the holiday rules cover (1990 to 2043)"
expect "before the rules" 1 "" "zupim holidays: 1989: $range" -- "$zupim" holidays 1989 1995
expect "after the rules" 1 "" "zupim holidays: 2044: $range" -- "$zupim" holidays 2040 2044
expect "no year" 2 "" "zupim holidays: missing FROM_YEAR
$usage" -- "$zupim" holidays
expect "not a year" 2 "" "zupim holidays: not a year: 20x5
$usage" -- "$zupim" holidays 20x5
expect "three years" 2 "" "zupim holidays: more than two years: 2027
$usage" -- "$zupim" holidays 2025 2026 2027
expect "backwards" 2 "" "zupim holidays: TO_YEAR comes before FROM_YEAR
$usage" -- "$zupim" holidays 2026 2025
expect "unknown option" 2 "" "zupim holidays: unknown option: --json
$usage" -- "$zupim" holidays 2025 --json

[[ $failed == 0 ]] && echo "zupim holidays: all cases passed"
exit $failed
