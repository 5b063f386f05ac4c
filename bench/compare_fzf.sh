#!/usr/bin/env bash
# Side by side with fzf --filter: the same 1,000,000 generated paths, the same queries, end to
# end (read standard input, match, sort, print). Prints each run's time, the ratio, and checks
# that both found the same number of lines.
#
# Usage: bench/compare_fzf.sh <path-to-corvantile-filter> [line-count]
#
# Both run with the same match semantics: the queries are lowercase single words (fzf's smart
# case then ignores case, as the filter does by default), so a line matches when the query is a
# case-insensitive subsequence of it. The corpus is kept in the build folder between runs.
set -euo pipefail

filter=${1:?usage: $0 <path-to-corvantile-filter> [line-count]}
count=${2:-1000000}
runs=2
queries=(a mgr rep docs/main src/util/parser xyzq cfgjson)

command -v fzf >/dev/null || { echo "fzf is not installed (Debian package fzf)"; exit 1; }
folder=$(dirname "$filter")
corpus="$folder/paths-$count.txt"

# Deterministic paths: a Park-Miller generator, the same under every awk.
generate() {
    awk -v count="$1" '
    function next_rand() { seed = (seed * 16807) % 2147483647; return seed }
    function pick(list, n) { return list[next_rand() % n + 1] }
    BEGIN {
        seed = 20240607
        nr = split("home usr opt var srv mnt", roots, " ")
        nu = split("alice bob carol dave erin frank grace heidi ivan judy mallory oscar", users, " ")
        nd = split("projects src lib include docs build tests assets images music videos " \
                   "downloads Documents Desktop config scripts tools vendor node_modules packages " \
                   "internal cmd pkg api core utils models views controllers services components " \
                   "styles public static templates migrations fixtures examples benchmarks " \
                   "drivers kernel net fs mm crypto sound firmware", dirs, " ")
        nw = split("main index app server client util helper config setup manager handler " \
                   "parser lexer render widget button dialog window layout theme color font " \
                   "image icon cache store query search filter report invoice budget photo " \
                   "holiday summer winter draft final notes readme license changelog todo " \
                   "schedule meeting resume letter contract backup archive data sample test suite " \
                   "bench mock fixture loader writer reader stream buffer socket packet session " \
                   "token user account profile settings preferences", words, " ")
        ne = split("c h cpp hpp py js ts go rs java md txt json xml yaml toml html css png jpg " \
                   "svg pdf docx xlsx mp3 mp4 zip tar gz log sh", exts, " ")
        for (i = 0; i < count; i++) {
            path = "/" pick(roots, nr)
            if (next_rand() % 3 != 0) path = path "/" pick(users, nu)
            depth = 1 + next_rand() % 6
            for (d = 0; d < depth; d++) {
                dir = pick(dirs, nd)
                if (next_rand() % 5 == 0) dir = dir "-" pick(words, nw)
                path = path "/" dir
            }
            name = pick(words, nw)
            r = next_rand() % 4
            if (r == 0) name = name "_" pick(words, nw)
            else if (r == 1) { w = pick(words, nw); name = name toupper(substr(w, 1, 1)) substr(w, 2) }
            else if (r == 2) name = name (next_rand() % 1000)
            print path "/" name "." pick(exts, ne)
        }
    }'
}

if [[ ! -s "$corpus" ]]; then
    echo "generating $count paths into $corpus"
    generate "$count" > "$corpus.tmp"
    mv "$corpus.tmp" "$corpus"
fi

# Best of a few runs: prints its milliseconds and the output's line count.
time_best() {
    local best=0 start end elapsed
    for ((run = 0; run < runs; run++)); do
        start=$(date +%s%N)
        lines=$( ("$@" < "$corpus" || true) | wc -l)
        end=$(date +%s%N)
        elapsed=$(((end - start) / 1000000))
        if ((best == 0 || elapsed < best)); then best=$elapsed; fi
    done
    echo "$best $lines"
}

printf '%-18s %10s %10s %8s %10s %s\n' query "fzf ms" "ours ms" ratio matches same
total_fzf=0
total_ours=0
mismatches=0
for query in "${queries[@]}"; do
    read -r fzf_time fzf_lines <<<"$(time_best fzf --filter "$query")"
    read -r ours_time ours_lines <<<"$(time_best "$filter" "$query")"
    same=yes
    if [[ "$fzf_lines" != "$ours_lines" ]]; then same="NO ($fzf_lines vs $ours_lines)"; mismatches=$((mismatches + 1)); fi
    ratio=$(awk -v a="$fzf_time" -v b="$ours_time" 'BEGIN { printf "%.1fx", (b > 0 ? a / b : 0) }')
    printf '%-18s %10d %10d %8s %10d %s\n' "$query" "$fzf_time" "$ours_time" "$ratio" "$ours_lines" "$same"
    total_fzf=$((total_fzf + fzf_time))
    total_ours=$((total_ours + ours_time))
done
printf '%-18s %10d %10d %8s\n' total "$total_fzf" "$total_ours" \
    "$(awk -v a="$total_fzf" -v b="$total_ours" 'BEGIN { printf "%.1fx", a / b }')"
if ((mismatches > 0)); then
    echo "match counts differ for $mismatches query(ies)"
    exit 1
fi
