#!/usr/bin/env bash
# Files and Folders follows its folder while the program runs: a file created in it is found by
# a query five seconds later without Update Cache, and the index cache holds it; once the file
# is deleted, the same query finds nothing.
source "$(dirname "$0")/lib.sh"
use_own_prefix || fail "no fresh Wine prefix could be made"

data_name="corvantile-e2e-watch-$$"
data="$WINEPREFIX/drive_c/$data_name"
mkdir -p "$data/Ångström Daten"
echo x >"$data/Ångström Daten/present.txt"
finish() {
    e2e_cleanup
    rm -rf "$data"
}
trap finish EXIT

write_settings Window.AutoHide=false "FilesAndFolders.Folders=C:\\$data_name"

start_and_wait || fail "no window titled Corvantile appeared"
BAR=$(wait_for_window Corvantile 20) || fail "the bar did not show"
wait_for_index || fail "the index was not built"
grep -q present.txt "$E2E_DIR/Corvantile.cache" || fail "the folder was not indexed"

# The query's letters are in the new file's name only.
query=quokkazyx
mkdir -p "$data/Фото 2024"
echo x >"$data/Фото 2024/naïve café $query.txt"
sleep 5
xdotool windowfocus --sync "$BAR"
xdotool type --delay 20 "$query"
wait_for_selected_row || fail "the new file was not found ($(screenshot not-found))"
echo "new file found: $(screenshot found)"
for _ in $(seq 1 25); do
    grep -q "$query" "$E2E_DIR/Corvantile.cache" && break
    sleep 0.2
done
grep -q "$query" "$E2E_DIR/Corvantile.cache" || fail "the cache does not hold the new file"
xdotool key --window "$BAR" Escape

rm "$data/Фото 2024/naïve café $query.txt"
sleep 5
xdotool windowfocus --sync "$BAR"
xdotool type --delay 20 "$query"
sleep 2
[[ "$(first_row_colour)" == "#000000" ]] ||
    fail "the deleted file is still found ($(screenshot still-found))"

stop_program
echo "PASS $E2E_NAME"
