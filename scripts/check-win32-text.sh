#!/usr/bin/env bash
# Fails on any call of an 8-bit ("A") Win32 function in src/: text crosses into Windows as
# UTF-16, through the W functions and the framework's conversions. The A functions are those
# the MinGW-w64 headers pair with a W twin (Name -> NameA / NameW), so our own names that
# happen to end in A are not taken for them. The generic names (MessageBox, SendMessage ...)
# need no check here: the build defines UNICODE, so they are the W forms, and passing them
# 8-bit text does not compile.
set -euo pipefail
cd "$(dirname "$0")/.."
compiler=${MINGW_CC:-x86_64-w64-mingw32-gcc-posix}

# The folder of the Windows headers, as the cross compiler finds windows.h.
windows_h=$(echo '#include <windows.h>' | "$compiler" -M -x c - 2>/dev/null |
    tr ' \\' '\n\n' | grep -m1 '/windows\.h$' || true)
if [[ -z "$windows_h" ]]; then
    echo "check-win32-text: $compiler does not find windows.h (see scripts/bootstrap.sh)"
    exit 1
fi
include=$(dirname "$windows_h")

# Every A name: "#define Name __MINGW_NAME_AW(Name)" gives NameA, "#define Name NameA" too.
a_names=$(mktemp)
trap 'rm -f "$a_names"' EXIT
{
    grep -rhoE '#define[[:space:]]+[A-Za-z0-9_]+[[:space:]]+__MINGW_NAME_AW\([A-Za-z0-9_]+\)' \
        "$include" | sed -E 's/.*__MINGW_NAME_AW\(([A-Za-z0-9_]+)\)/\1A/'
    grep -rhoE '#define[[:space:]]+[A-Za-z0-9_]+[[:space:]]+[A-Za-z0-9_]+A\b' "$include" |
        awk '$3 == $2 "A" { print $3 }'
} | sort -u >"$a_names"
if [[ $(wc -l <"$a_names") -lt 500 ]]; then
    echo "check-win32-text: too few A functions found under $include"
    exit 1
fi

# Calls (a name followed by an opening parenthesis) outside // comments.
mapfile -t files < <(git ls-files --cached --others --exclude-standard -- 'src/*.cpp' 'src/*.h' |
    sort -u)
present=()
for file in "${files[@]}"; do
    [[ -f "$file" ]] && present+=("$file")
done
found=$(awk '
    NR == FNR { a_name[$0]; next }
    {
        line = $0
        sub(/\/\/.*/, "", line)
        while (match(line, /[A-Za-z_][A-Za-z0-9_]*A[ \t]*\(/)) {
            name = substr(line, RSTART, RLENGTH - 1)
            sub(/[ \t]+$/, "", name)
            before = RSTART > 1 ? substr(line, RSTART - 1, 1) : ""
            if (before !~ /[A-Za-z0-9_]/ && name in a_name)
                print FILENAME ":" FNR ": " name
            line = substr(line, RSTART + RLENGTH)
        }
    }' "$a_names" "${present[@]}")
if [[ -n "$found" ]]; then
    echo "check-win32-text: 8-bit Win32 calls (use the W form with the framework's conversions):"
    echo "$found"
    exit 1
fi
