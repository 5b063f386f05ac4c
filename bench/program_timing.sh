#!/usr/bin/env bash
# Start-up and typing latency of the real program under Wine, with 100,000 files indexed (or
# as many as CORVANTILE_BENCH_FILES says, a multiple of 50):
#   index:   a first (cold) index of the fresh tree, from the start to the cache written;
#   ready:   from the creation of the process (which under Wine includes Wine's own start) and
#            from the program's first code to the bar being ready: index loaded from its
#            cache, hot-key registered;
#   results: from the last key typed to the first paint of the list with the results, and
#            from the search's start (once the typing delay has passed) to that paint;
#   memory:  the program's resident memory (its working set) after the queries.
# The program writes these marks when CORVANTILE_TIMING names a file. Run it under
# scripts/with-display.sh (make bench does): bench/program_timing.sh path/to/Corvantile.exe
source "$(dirname "$0")/../tests/e2e/lib.sh"

FILES=${CORVANTILE_BENCH_FILES:-100000}
STARTS=5
QUERIES=("r" "rep" "mtng" "invoice" "setup.exe" "docs\\rep" "report fin")
ROUNDS=3

# A folder tree of FILES files: 20 folders of 10 of 10, 50 files each, named from a word list.
tree="$E2E_DIR/files"
awk -v files="$FILES" -v root="$tree" 'BEGIN {
    split("Documents Desktop Downloads Pictures Music Videos Projects src include build tests assets Reports Invoices Holiday Archive Drafts Backup Local Programs", dirs, " ")
    split("main index app server client util config setup manager handler parser render widget dialog report invoice budget photo summer draft final notes readme license schedule meeting resume letter contract backup archive sample loader writer reader session token account profile settings", words, " ")
    split("txt pdf docx xlsx cpp h py js png jpg mp3 mp4 zip exe lnk md", exts, " ")
    state = 12345
    for (i = 0; i < files; ++i) {
        leaf = int(i / 50)
        folder = root "/" dirs[int(leaf / 100) % 20 + 1] "/" dirs[int(leaf / 10) % 10 + 11] "/" dirs[leaf % 10 + 1] "_" int(leaf / 2000)
        state = (state * 1103515245 + 12345) % 2147483648; a = int(state / 65536) % 40 + 1
        state = (state * 1103515245 + 12345) % 2147483648; b = int(state / 65536) % 40 + 1
        state = (state * 1103515245 + 12345) % 2147483648; e = int(state / 65536) % 16 + 1
        print folder "/" words[a] "_" words[b] "_" i "." exts[e]
    }
}' >"$E2E_DIR/list"
sed 's|/[^/]*$||' "$E2E_DIR/list" | sort -u | xargs mkdir -p
xargs touch <"$E2E_DIR/list"

write_settings "FilesAndFolders.Folders=$(winepath -w "$tree" 2>/dev/null)" FilesAndFolders.Depth=4

cache="$E2E_DIR/Corvantile.cache"
cache_time() { stat -c %y "$cache" 2>/dev/null; }
# The index holds the files once the cache is written with more than the files' names.
wait_for_all_files() {
    local deadline=$((SECONDS + 600))
    while ((SECONDS < deadline)); do
        (($(stat -c %s "$cache" 2>/dev/null || echo 0) > FILES * 40)) && return 0
        sleep 1
    done
    return 1
}

echo "Indexing $FILES files..."
index_start=$(date +%s.%N)
start_program
wait_for_all_files || fail "the files were not indexed"
index_seconds=$(echo "$(date +%s.%N) - $index_start" | bc)
stop_program

timing="$E2E_DIR/timing.txt"
export CORVANTILE_TIMING
CORVANTILE_TIMING=$(winepath -w "$timing" 2>/dev/null)
wait_for_line() {
    local pattern=$1 count=$2 deadline=$((SECONDS + 20))
    while ((SECONDS < deadline)); do
        local found
        found=$(grep -c "^$pattern " "$timing" 2>/dev/null)
        ((${found:-0} >= count)) && return 0
        sleep 0.1
    done
    return 1
}

for ((start = 1; start <= STARTS; ++start)); do
    rm -f "$timing"
    before=$(cache_time)
    start_program
    wait_for_line ready 1 || fail "start $start did not report ready"
    grep '^ready ' "$timing" >>"$E2E_DIR/ready.txt"
    if ((start == STARTS)); then
        # Typing once the start-up rescan has finished (it rewrites the cache), each query
        # typed into an empty box, ROUNDS times.
        for _ in $(seq 1 600); do [[ "$(cache_time)" != "$before" ]] && break; sleep 0.2; done
        bring_bar_up || fail "the bar did not come up"
        xdotool windowfocus --sync "$BAR"
        shown=0
        typed=()
        for ((round = 0; round < ROUNDS; ++round)); do typed+=("${QUERIES[@]}"); done
        for query in "${typed[@]}"; do
            xdotool type --delay 80 "$query"
            wait_for_line results $((shown + 1)) || fail "no results painted for '$query'"
            shown=$((shown + 1))
            echo "$query" >>"$E2E_DIR/queries.txt"
            xdotool key --window "$BAR" Escape
            sleep 0.7
        done
        grep '^results ' "$timing" >"$E2E_DIR/results.txt"
        resident_kb=$(awk '/^VmRSS/ { print $2 }' "/proc/$E2E_PID/status" 2>/dev/null)
    fi
    stop_program
done

# Median and 95th percentile (nearest rank) of a column of numbers.
summary() {
    sort -n | awk '{ v[NR] = $1 } END {
        p95 = int(NR * 0.95); if (p95 < NR * 0.95) ++p95; if (p95 < 1) p95 = 1
        printf "%.1f / %.1f", v[int((NR + 1) / 2)], v[p95] }'
}

delay=500
echo
echo "Cold index of $FILES files (start to cache written): $(printf '%.1f' "$index_seconds") s"
echo "Resident memory after the queries: $((${resident_kb:-0} / 1024)) MB"
echo "Start with a warm cache ($FILES files), $STARTS starts, ms, median / worst:"
echo "  from the process's creation: $(cut -d' ' -f2 "$E2E_DIR/ready.txt" | summary)"
echo "  from the program's first code: $(cut -d' ' -f3 "$E2E_DIR/ready.txt" | summary)"
echo
echo "Typed text to painted results, $(wc -l <"$E2E_DIR/results.txt") searches, ms, median / p95:"
echo "  last key to paint, less the $delay ms typing delay: $(awk -v d=$delay '{ print $2 - d }' "$E2E_DIR/results.txt" | summary)"
echo "  search start to paint: $(awk '{ print $3 }' "$E2E_DIR/results.txt" | summary)"
paste "$E2E_DIR/queries.txt" "$E2E_DIR/results.txt" | awk -F'\t' '{ split($2, r, " ")
    printf "    %-12s %7.1f %7.1f\n", $1, r[2] - '$delay', r[3] }'
