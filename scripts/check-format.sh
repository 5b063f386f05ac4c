#!/usr/bin/env bash
# Fails, naming the files, when a C++ source under src/, tests/ or bench/ (tracked, or new and
# not ignored) differs from what clang-format makes of it with the checked-in .clang-format.
# The fix is `clang-format -i FILE...`.
set -euo pipefail
cd "$(dirname "$0")/.."
clang_format=${CLANG_FORMAT:-clang-format}

mapfile -t files < <(git ls-files --cached --others --exclude-standard -- \
    'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' | sort -u)
[[ ${#files[@]} -gt 0 ]] || { echo "check-format: no sources found"; exit 1; }

# Files deleted in the work tree but still tracked are skipped.
present=()
for file in "${files[@]}"; do
    [[ -f "$file" ]] && present+=("$file")
done

report=$("$clang_format" --dry-run -Werror "${present[@]}" 2>&1) && exit 0
mapfile -t unformatted < <(grep -oE '^[^:]+:[0-9]+:[0-9]+: error: code should be clang-formatted' \
    <<<"$report" | cut -d: -f1 | sort -u)
if [[ ${#unformatted[@]} -eq 0 ]]; then
    # clang-format itself failed (a missing file, an unreadable .clang-format ...).
    echo "$report"
    exit 1
fi
echo "check-format: not formatted as .clang-format says (fix with clang-format -i):"
printf '  %s\n' "${unformatted[@]}"
exit 1
