#!/usr/bin/env bash
# Shortcut mode in the search bar: "g" makes Google's search current, and Enter on the typed
# "x y" opens Google's results for it, through a stand-in for the desktop's browser launcher.
set -euo pipefail
exe=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
log="$dir/opened.txt"
cat >"$dir/xdg-open" <<STUB
#!/bin/sh
printf '%s\n' "\$*" >>"$log"
STUB
chmod +x "$dir/xdg-open"

PATH="$dir:$PATH" CORVANTILE_BROWSER_STUB=1 wine "$exe" --gtest_color=no \
    --gtest_filter=Running.GoogleShortcutTakesTheTypedTextToTheSearchAddress

for _ in $(seq 1 150); do
    [[ -s "$log" ]] && break
    sleep 0.2
done
expected='https://www.google.com/search?q=x%20y'
if ! grep -qxF "$expected" "$log" 2>/dev/null; then
    echo "expected the browser to open $expected; it was given:"
    cat "$log" 2>/dev/null || echo "(nothing)"
    exit 1
fi
