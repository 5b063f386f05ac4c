#!/usr/bin/env bash
# A folder tree of 250,000 files is indexed whole: files marked in five different top folders,
# each met at a different point of the walk, are all in the index and found from the bar.
source "$(dirname "$0")/lib.sh"

data_name="corvantile-e2e-tree-$$"
data="$WINEPREFIX/drive_c/$data_name"
finish() {
    e2e_cleanup
    rm -rf "$data"
}
trap finish EXIT

# Five top folders of 50 folders of 1,000 files; no generated name holds a "q".
started=$SECONDS
python3 - "$data" <<'PY'
import os, sys
root = sys.argv[1]
marks = ["alpha", "bravo", "charlie", "delta", "echo"]
for top in range(5):
    for sub in range(50):
        folder = os.path.join(root, f"top{top}", f"sub{sub:02}")
        os.makedirs(folder)
        for n in range(1000):
            open(os.path.join(folder, f"f{n:04}.txt"), "w").close()
    # The mark lies at a different depth of each top folder's walk.
    open(os.path.join(root, f"top{top}", f"sub{(top * 12) % 50:02}",
                      f"quokka {marks[top]}.txt"), "w").close()
PY
echo "tree written in $((SECONDS - started)) s"

write_settings Window.AutoHide=false "FilesAndFolders.Folders=C:\\$data_name" \
    FilesAndFolders.IncludeFolders=false

started=$SECONDS
start_and_wait || fail "no window titled Corvantile appeared"
BAR=$(wait_for_window Corvantile 20) || fail "the bar did not show"
for _ in $(seq 1 450); do
    [[ -s "$E2E_DIR/Corvantile.cache" ]] && break
    sleep 0.2
done
[[ -s "$E2E_DIR/Corvantile.cache" ]] || fail "the index was not built in 90 s"
echo "indexed in $((SECONDS - started)) s"
sleep 1

for mark in alpha bravo charlie delta echo; do
    grep -q "quokka $mark.txt" "$E2E_DIR/Corvantile.cache" || fail "quokka $mark is not indexed"
done
# The cache keeps a folder's path once, with its first file, and the other files' names alone:
# every folder is there, and as many names as files.
folders=$(grep -aoE 'top[0-4][\]sub[0-9]{2}[\]f[0-9]{4}\.txt' "$E2E_DIR/Corvantile.cache" |
    sed 's/f[0-9]*\.txt$//' | sort -u | wc -l)
((folders == 250)) || fail "$folders of the 250 generated folders are in the index"
count=$(grep -aoE 'f[0-9]{4}\.txt' "$E2E_DIR/Corvantile.cache" | wc -l)
((count == 250000)) || fail "$count of the 250,000 generated files are in the index"

xdotool windowfocus --sync "$BAR"
for mark in alpha charlie echo; do
    xdotool type --delay 20 "quokka $mark"
    wait_for_selected_row || fail "quokka $mark was not found ($(screenshot $mark))"
    xdotool key --window "$BAR" Escape
    sleep 0.5
done
stop_program
echo "PASS $E2E_NAME"
