#!/usr/bin/env bash
# The preferences file as the program saves it under Wine, checked with xmllint (an independent
# XML reader): well-formed, with the keys and the non-ASCII text where they belong.
set -euo pipefail
exe=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
file="$dir/Corvantile.xml"

CORVANTILE_PREFS_OUT="Z:${file//\//\\}" wine "$exe" --gtest_color=no \
    --gtest_filter=SupportPreferencesOutside.WritesFileForOutsideReader
[[ -s "$file" ]] || { echo "no preferences file was written at $file"; exit 1; }

xmllint --noout "$file"
query() { xmllint --xpath "$1" "$file"; }
status=0
expect() {
    local actual
    actual=$(query "$1")
    if [[ "$actual" != "$2" ]]; then
        echo "$1: expected '$2', found '$actual'"
        status=1
    fi
}
window='/preferences/node[@name="Corvantile"]/node[@name="Window"]'
expect "string($window/param[@key=\"PosX\"]/@value)" '412'
expect "string($window/param[@key=\"HotKeyModifier\"]/@value)" '2'
expect "string($window/node[@name=\"CommandLine\"]/node[@name=\"List\"]/param[@key=\"TwoLines\"]/@value)" 'false'
expect "string(/preferences/node/node[@name='Plug-ins & <Sources>']/param/@value)" \
    'C:\Users\Zoë\Dokumente – Ablage\日本'
[[ $status -eq 0 ]] || cat "$file"
exit $status
