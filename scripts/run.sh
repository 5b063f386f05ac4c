#!/usr/bin/env bash
# Starts Corvantile under Wine. On a machine with a display it runs there until you exit it;
# without one it runs on a private virtual display, types a sample query, saves a screenshot,
# prints where, and ends the program cleanly.
set -uo pipefail
exe=$(realpath "${1:?usage: run.sh path/to/Corvantile.exe}")
source "$(dirname "$0")/wine-env.sh"

if [[ -n "${DISPLAY:-}" ]] && xdpyinfo >/dev/null 2>&1 && [[ -z "${CI:-}" ]]; then
    corvantile_prepare_prefix
    echo "Corvantile is running on $DISPLAY: Ctrl+Space brings the bar up, the tray menu exits."
    exec wine "$exe"
fi

trap corvantile_env_stop EXIT
trap 'exit 130' INT TERM
unset DISPLAY
corvantile_env_start || exit 1

wine "$exe" &
program=$!
for _ in $(seq 1 100); do
    [[ -n "$(xdotool search --name '^Corvantile$' 2>/dev/null)" ]] && break
    sleep 0.2
done
# The bar hides itself right after start; a second start brings the running copy's bar up
# (again, should the first copy still have been starting).
window=""
for _ in 1 2 3 4 5; do
    wine "$exe" >/dev/null 2>&1
    window=$(xdotool search --onlyvisible --name '^Corvantile$' 2>/dev/null | head -n 1)
    if [[ -n "$window" ]]; then
        sleep 1
        [[ -n "$(xdotool search --onlyvisible --name '^Corvantile$' 2>/dev/null)" ]] && break
    fi
    window=""
    sleep 1
done
if [[ -z "$window" ]]; then
    echo "run: the search bar did not appear" >&2
    exit 1
fi
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool type --delay 60 "notepad"
sleep 2

shots="$CORVANTILE_ROOT/build/screenshots"
mkdir -p "$shots"
shot="$shots/run-$(date +%Y%m%d-%H%M%S).png"
import -window root "$shot"
echo "Screenshot: $shot"

wine "$exe" /exit
for _ in $(seq 1 50); do
    kill -0 "$program" 2>/dev/null || break
    sleep 0.2
done
kill "$program" 2>/dev/null || true
wait "$program" 2>/dev/null
exit 0
