#!/usr/bin/env bash
# Runs one test of a Windows test program with a stand-in for the desktop's browser launcher
# (Wine hands web addresses to xdg-open) and checks that the test opened the expected address.
# Usage: expect_browser_opens.sh TEST_EXE GTEST_FILTER EXPECTED_ADDRESS
set -euo pipefail
exe=$1 filter=$2 expected=$3
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
log="$dir/opened.txt"
cat >"$dir/xdg-open" <<STUB
#!/bin/sh
printf '%s\n' "\$*" >>"$log"
STUB
chmod +x "$dir/xdg-open"

PATH="$dir:$PATH" CORVANTILE_BROWSER_STUB=1 wine "$exe" --gtest_color=no --gtest_filter="$filter"

# The launcher runs apart from the test program: give it time to be started.
for _ in $(seq 1 150); do
    [[ -s "$log" ]] && break
    sleep 0.2
done
if ! grep -qxF "$expected" "$log" 2>/dev/null; then
    echo "expected the browser to open $expected; it was given:"
    cat "$log" 2>/dev/null || echo "(nothing)"
    exit 1
fi
