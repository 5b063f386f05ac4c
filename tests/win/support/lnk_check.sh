#!/usr/bin/env bash
# A link written through the shell under Wine, read back with lnkinfo (an independent reader of
# the file format): target, description and working folder must be what the program set.
set -euo pipefail
exe=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
link="$dir/Corvantile.lnk"

CORVANTILE_LNK_OUT="Z:${link//\//\\}" wine "$exe" --gtest_color=no \
    --gtest_filter=SupportShellLink.WritesLinkForOutsideReader
[[ -s "$link" ]] || { echo "no link was written at $link"; exit 1; }

info=$(lnkinfo "$link")
field() { sed -n "s/^[[:space:]]*$1[[:space:]]*: //p" <<<"$info" | head -n 1; }
status=0
expect() {
    local actual
    actual=$(field "$1")
    if [[ "$actual" != "$2" ]]; then
        echo "$1: expected '$2', found '$actual'"
        status=1
    fi
}
expect "Local path" 'C:\windows\system32\notepad.exe'
expect "Description" 'Corvantile – Schnellstart für Zoë'
expect "Working directory" 'C:\windows\system32'
[[ $status -eq 0 ]] || echo "$info"
exit $status
