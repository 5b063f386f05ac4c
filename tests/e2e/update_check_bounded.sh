#!/usr/bin/env bash
# The update check against hostile servers on this machine: one that floods an endless line,
# one that sends a byte every half second, one that answers a login page with 200. The program
# stays alive and small, the bar answers while the check waits, and every check from the menu
# ends in "Could not get latest version info" within its (shortened) deadline.
source "$(dirname "$0")/lib.sh"

mode_file="$E2E_DIR/mode"
port_file="$E2E_DIR/port"
echo flood >"$mode_file"
# Loopback only, and gone after two minutes whatever happens.
timeout 120 python3 - "$mode_file" "$port_file" <<'PY' &
import http.server, socketserver, sys, time
mode_file, port_file = sys.argv[1], sys.argv[2]
class Answer(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass
    def do_GET(self):
        mode = open(mode_file).read().strip()
        self.send_response(200)
        self.send_header("Content-Type", "text/html" if mode == "login" else "text/plain")
        self.end_headers()
        try:
            if mode == "login":
                self.wfile.write(b"<!DOCTYPE html>\n<html><title>Sign in</title></html>\n")
            elif mode == "flood":
                chunk = b"9" * 65536
                while True:
                    self.wfile.write(chunk)
            else:
                for byte in b"1.99.0.0\n":
                    self.wfile.write(bytes([byte]))
                    self.wfile.flush()
                    time.sleep(0.5)
        except OSError:
            pass
class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
with Server(("127.0.0.1", 0), Answer) as server:
    open(port_file, "w").write(str(server.server_address[1]))
    server.serve_forever()
PY
E2E_PIDS+=($!)
for _ in $(seq 1 50); do
    [[ -s "$port_file" ]] && break
    sleep 0.1
done
[[ -s "$port_file" ]] || fail "the local server did not start"

export CORVANTILE_VERSION_FILE_URL="http://127.0.0.1:$(cat "$port_file")/curversion.dat"
export CORVANTILE_UPDATE_DEADLINE_MS=3000
# The check at start-up meets the flood first.
start_and_wait || fail "no window titled Corvantile appeared"
sleep 4

# The resident size of the program's process in MB.
program_mb() {
    ps -eo rss=,args= | grep -F 'Corvantile.exe' | grep -F "$(basename "$E2E_DIR")" |
        awk '{ kb += $1 } END { print int(kb / 1024) }'
}

for mode in flood drip login; do
    echo "$mode" >"$mode_file"
    probe command 32783 || fail "$mode: the menu command could not be sent"
    start=$SECONDS
    wait_for_probe 5 says "Checking for the latest version..." ||
        [[ $mode == login ]] || fail "$mode: the dialog did not show while waiting"
    [[ $mode == login ]] || probe answers || fail "$mode: the bar did not answer while waiting"
    wait_for_probe 10 says "Could not get latest version info" ||
        fail "$mode: no failure said ($(screenshot "$mode"))"
    ((SECONDS - start <= 7)) || fail "$mode: the answer took $((SECONDS - start)) s"
    size=$(program_mb)
    ((size < 300)) || fail "$mode: the program uses $size MB"
    echo "$mode: answered in $((SECONDS - start)) s, $size MB"
    # The message box has the keyboard: Enter closes it. Without a window manager the display's
    # focus may reach the box a moment after it shows, or stay with the dialog behind it (the
    # answer can come while the dialog is still being shown), so Enter is pressed again while it
    # stays, after a second with the display's focus put on the box (the narrowest window of
    # that title: the bar is far wider).
    for attempt in $(seq 0 24); do
        if ((attempt >= 10 && attempt % 5 == 0)); then
            box=$(for w in $(xdotool search --onlyvisible --name '^Corvantile$' 2>/dev/null); do
                echo "$(xdotool getwindowgeometry "$w" | awk '/Geometry/ { split($2, g, "x"); print g[1] }') $w"
            done | sort -n | awk 'NR == 1 { print $2 }')
            [[ -n "$box" ]] && xdotool windowfocus "$box" 2>/dev/null
        fi
        ((attempt % 5 == 0)) && xdotool key Return 2>/dev/null
        sleep 0.2
        probe dialog || break
    done
    probe dialog && fail "$mode: the message box did not close ($(screenshot "$mode-box"))"
done
stop_program
echo "PASS $E2E_NAME"
