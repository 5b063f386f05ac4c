#!/usr/bin/env bash
# Checks the command-line filter from outside: exit status, order of lines, options.
# Usage: test_filter_cli.sh <path-to-corvantile-filter>
set -uo pipefail

filter=${1:?usage: $0 <path-to-corvantile-filter>}
failures=0

check() { # name expected actual
    if [[ "$2" != "$3" ]]; then
        printf 'FAIL %s\n  expected: %q\n  actual:   %q\n' "$1" "$2" "$3"
        failures=$((failures + 1))
    fi
}

run() { # input, then filter arguments; prints the output then the exit status
    local input=$1
    shift
    local output status
    output=$(printf '%s' "$input" | "$filter" "$@")
    status=$?
    printf '%s|%s' "$output" "$status"
}

apps=$'Paint\nIntelliJ IDEA\nNotepad\nInternet Explorer\nCalculator\n'

check "matches best first" $'IntelliJ IDEA\nInternet Explorer\nPaint|0' "$(run "$apps" int)"
check "nothing matches" "|1" "$(run "$apps" zzz)"
check "limit" $'IntelliJ IDEA|0' "$(run "$apps" --limit 1 int)"
check "start of line only" $'IntelliJ IDEA\nInternet Explorer|0' "$(run "$apps" --start int)"
check "case sensitive" $'IntelliJ IDEA\nInternet Explorer|0' "$(run "$apps" --case-sensitive In)"
check "case sensitive, +i" "|1" "$(run "$apps" +i INT)"
check "ignore case" $'IntelliJ IDEA\nInternet Explorer\nPaint|0' "$(run "$apps" -i INT)"
check "several words" $'Internet Explorer|0' "$(run "$apps" 'ex int')"
check "one thread" $'IntelliJ IDEA\nInternet Explorer\nPaint|0' "$(run "$apps" --threads 1 int)"
check "empty query prints all" $'Paint\nIntelliJ IDEA|0' "$(run $'Paint\nIntelliJ IDEA' '')"
check "empty input" "|1" "$(run "" a)"
check "no final newline" $'ab|0' "$(run $'xy\nab' ab)"
check "accents fold" $'Café Racer|0' "$(run $'Café Racer\nCabinet\n' cafe)"
check "exact name first" $'code\nVisual Studio Code|0' "$(run $'Visual Studio Code\ncode\n' code)"

status=0
"$filter" >/dev/null 2>&1 || status=$?
check "missing query is a usage error" 2 "$status"
status=0
"$filter" --limit x a </dev/null >/dev/null 2>&1 || status=$?
check "bad number is a usage error" 2 "$status"

# Many lines, all threads: every matching line once, and the counts agree with a plain scan.
big=$(for i in $(seq 1 20000); do echo "folder$((i % 97))/file_$i.txt"; done)
count=$(printf '%s\n' "$big" | "$filter" "file_1" | wc -l)
expected=$(printf '%s\n' "$big" | grep -c 'f.*i.*l.*e.*_.*1')
check "every match of a large input" "$expected" "$count"
unique=$(printf '%s\n' "$big" | "$filter" "97/" | sort -u | wc -l)
all=$(printf '%s\n' "$big" | "$filter" "97/" | wc -l)
check "no line printed twice" "$all" "$unique"

if ((failures > 0)); then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all filter checks passed"
