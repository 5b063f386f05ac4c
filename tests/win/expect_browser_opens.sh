#!/usr/bin/env bash
# Runs one test of a Windows test program with a stand-in for the desktop's browser launcher
# (Wine hands web addresses to xdg-open) and checks that the test opened every expected address.
# Usage: expect_browser_opens.sh TEST_EXE GTEST_FILTER EXPECTED_ADDRESS...
set -euo pipefail
exe=$1 filter=$2
shift 2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
log="$dir/opened.txt"
cat >"$dir/xdg-open" <<STUB
#!/bin/sh
printf '%s\n' "\$*" >>"$log"
STUB
chmod +x "$dir/xdg-open"

PATH="$dir:$PATH" CORVANTILE_BROWSER_STUB=1 wine "$exe" --gtest_color=no --gtest_filter="$filter"

opened_all() {
    local address
    for address in "$@"; do
        grep -qxF "$address" "$log" 2>/dev/null || return 1
    done
}

# The launcher runs apart from the test program: give it time to be started.
for _ in $(seq 1 150); do
    opened_all "$@" && exit 0
    sleep 0.2
done
echo "expected the browser to open $*; it was given:"
cat "$log" 2>/dev/null || echo "(nothing)"
exit 1
