# Shared steps of the end-to-end tests: each test runs the real program from a folder of its own
# (so its settings file starts fresh), under the display and Wine prefix that with-display.sh
# set up; run on its own, a test sets them up itself. Everything started is stopped by pid.

set -uo pipefail
E2E_EXE_SOURCE=$(realpath "${1:?usage: $0 path/to/Corvantile.exe}")
E2E_NAME=$(basename "$0" .sh)
E2E_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
E2E_PIDS=()

if [[ -z "${DISPLAY:-}" || -z "${WINEPREFIX:-}" ]]; then
    source "$E2E_ROOT/scripts/wine-env.sh"
    E2E_OWN_ENV=1
    corvantile_env_start || exit 1
fi

E2E_DIR=$(mktemp -d "${TMPDIR:-/tmp}/corvantile-e2e-$E2E_NAME.XXXXXX")
cp "$E2E_EXE_SOURCE" "$E2E_DIR/Corvantile.exe"
E2E_EXE="$E2E_DIR/Corvantile.exe"

e2e_cleanup() {
    local pid
    for pid in "${E2E_PIDS[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${E2E_PIDS[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    if [[ -n "${E2E_OWN_PREFIX:-}" ]]; then
        WINEPREFIX=$E2E_OWN_PREFIX wineserver -k 2>/dev/null || true
        WINEPREFIX=$E2E_OWN_PREFIX wineserver -w 2>/dev/null || true
        export WINEPREFIX=$E2E_SHARED_PREFIX
    fi
    [[ -n "${E2E_OWN_ENV:-}" ]] && corvantile_env_stop
    rm -rf "$E2E_DIR"
}
trap e2e_cleanup EXIT

# Moves the test into a fresh Wine prefix of its own, inside its folder: a copy of the prefix as
# wine-env.sh made it, before any test ran (or, without that copy, a new one). Its user folders
# that link to the real home folder become plain folders, so nothing the test does can reach it.
# Programs started afterwards run there; the clean-up ends the prefix's wineserver.
use_own_prefix() {
    E2E_SHARED_PREFIX=$WINEPREFIX
    E2E_OWN_PREFIX="$E2E_DIR/prefix"
    if [[ -d "$E2E_SHARED_PREFIX.pristine" ]]; then
        cp -a "$E2E_SHARED_PREFIX.pristine" "$E2E_OWN_PREFIX" || return 1
        export WINEPREFIX=$E2E_OWN_PREFIX
    else
        export WINEPREFIX=$E2E_OWN_PREFIX
        wineboot -i >/dev/null 2>&1
        wineserver -w
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    fi
    local link
    for link in "$E2E_OWN_PREFIX"/drive_c/users/*/*; do
        [[ -L "$link" ]] && rm -f "$link" && mkdir -p "$link"
    done
    wineserver -p
    # Wine's background services start now, detached from the test's output (see wine-env.sh).
    wine cmd /c exit </dev/null >/dev/null 2>&1
}

fail() {
    echo "FAIL ($E2E_NAME): $*" >&2
    exit 1
}

# Writes the settings the program starts with, from arguments "Node.Key=Value": Node is Window
# for the bar's own settings, else the id of a plug-in. The update check is always off.
write_settings() {
    local setting plugin
    local -a plugins=()
    for setting in "$@"; do
        plugin=${setting%%.*}
        [[ "$plugin" != Window && " ${plugins[*]} " != *" $plugin "* ]] && plugins+=("$plugin")
    done
    {
        echo '<?xml version="1.0" encoding="UTF-8"?>'
        echo '<preferences version="1">'
        echo '  <node name="Corvantile">'
        echo '    <node name="Window">'
        echo '      <param key="CheckForUpdates" value="false"/>'
        for setting in "$@"; do
            [[ "$setting" == Window.* ]] && settings_param 6 "${setting#Window.}"
        done
        echo '    </node>'
        echo '    <node name="Core">'
        echo '      <node name="Plugins">'
        for plugin in "${plugins[@]}"; do
            echo "        <node name=\"$plugin\">"
            for setting in "$@"; do
                [[ "$setting" == "$plugin".* ]] && settings_param 10 "${setting#"$plugin".}"
            done
            echo '        </node>'
        done
        echo '      </node>'
        echo '    </node>'
        echo '  </node>'
        echo '</preferences>'
    } >"$E2E_DIR/Corvantile.xml"
}

# One setting line: $1 blanks of indent, then "Key=Value" as a param.
settings_param() {
    local key=${2%%=*} value=${2#*=}
    value=${value//&/&amp;}
    value=${value//</&lt;}
    value=${value//\"/&quot;}
    printf '%*s<param key="%s" value="%s"/>\n' "$1" '' "$key" "$value"
}

# Starts the program in the background; its pid goes to E2E_PID.
start_program() {
    wine "$E2E_EXE" "$@" >/dev/null 2>&1 &
    E2E_PID=$!
    E2E_PIDS+=("$E2E_PID")
}

# Prints the id of the visible window with this exact title, waiting up to $2 seconds.
wait_for_window() {
    local title=$1 seconds=${2:-20} id=""
    local deadline=$((SECONDS + seconds))
    while ((SECONDS < deadline)); do
        id=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n 1)
        [[ -n "$id" ]] && { echo "$id"; return 0; }
        sleep 0.2
    done
    return 1
}

# Starts the program and waits up to 30 seconds for its window, shown or not.
start_and_wait() {
    start_program
    for _ in $(seq 1 150); do
        [[ -n "$(xdotool search --name '^Corvantile$' 2>/dev/null)" ]] && return 0
        sleep 0.2
    done
    return 1
}

# Waits up to 20 seconds for the index, which is saved beside the program once it is built.
wait_for_index() {
    for _ in $(seq 1 100); do
        [[ -s "$E2E_DIR/Corvantile.cache" ]] && return 0
        sleep 0.2
    done
    return 1
}

# True when no visible window has this exact title.
window_hidden() {
    [[ -z "$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null)" ]]
}

# Waits up to $2 seconds for process $1 to end.
wait_for_exit() {
    local pid=$1 seconds=${2:-10}
    local deadline=$((SECONDS + seconds))
    while ((SECONDS < deadline)); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.2
    done
    return 1
}

# Asks the running copy to end through its Exit command and waits for it.
stop_program() {
    wine "$E2E_EXE" /exit >/dev/null 2>&1
    wait_for_exit "$E2E_PID" 20 || fail "the program did not end after /exit"
}

# Saves a picture of the whole virtual screen into build/screenshots and prints its path.
screenshot() {
    local dir="$E2E_ROOT/build/screenshots"
    mkdir -p "$dir"
    local file="$dir/$E2E_NAME-$1.png"
    import -window root "$file"
    echo "$file"
}

# The bar shows while the program loads and hides right after; a second start brings the
# running copy's bar up. Retried while the first copy may still be starting, since its start-up
# would hide a bar brought up too early. The bar's window id goes to BAR.
bring_bar_up() {
    local first=$E2E_PID second
    for _ in 1 2 3 4 5; do
        start_program
        second=$E2E_PID
        E2E_PID=$first
        wait_for_exit "$second" 10 || fail "the second copy did not end"
        if BAR=$(wait_for_window Corvantile 5); then
            sleep 1
            window_hidden Corvantile || return 0
        fi
    done
    return 1
}

# The colour of a pixel in the first row of the list below the bar $BAR (the black of the root
# window where no list shows).
first_row_colour() {
    eval "$(xdotool getwindowgeometry --shell "$BAR")"
    import -window root -crop "1x1+$((X + WIDTH / 3))+$((Y + HEIGHT + 8))" -depth 8 txt:- |
        tail -n 1 | awk '{print $3}'
}

# Waits up to 10 seconds for a selected first row below the bar (neither black nor white).
wait_for_selected_row() {
    local colour
    for _ in $(seq 1 50); do
        colour=$(first_row_colour)
        [[ "$colour" != "#000000" && "$colour" != "#FFFFFF" ]] && return 0
        sleep 0.2
    done
    return 1
}

# Little-endian 32-bit values as printf escapes.
le32() {
    printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $((($1 >> 8) & 255)) \
        $((($1 >> 16) & 255)) $((($1 >> 24) & 255))
}

# Writes a shell link (.lnk) whose target is a local path: the header and the link information
# with the path, as the shell writes them.
write_link() {
    local file=$1 target=$2
    local volume_size=17 info_header=28
    local base_offset=$((info_header + volume_size))
    local suffix_offset=$((base_offset + ${#target} + 1))
    local info_size=$((suffix_offset + 1))
    {
        # Header: size, class id, flags (link information present), archive attribute, three
        # times, file size, icon, show command, hot key and reserved fields.
        printf "$(le32 76)"
        printf '\x01\x14\x02\x00\x00\x00\x00\x00\xc0\x00\x00\x00\x00\x00\x00\x46'
        printf "$(le32 2)$(le32 32)"
        printf '\x00%.0s' $(seq 1 24)
        printf "$(le32 0)$(le32 0)$(le32 1)"
        printf '\x00%.0s' $(seq 1 12)
        # Link information: local volume and base path, empty suffix.
        printf "$(le32 $info_size)$(le32 $info_header)$(le32 1)$(le32 $info_header)"
        printf "$(le32 $base_offset)$(le32 0)$(le32 $suffix_offset)"
        printf "$(le32 $volume_size)$(le32 3)$(le32 305419896)$(le32 16)\\x00"
        printf '%s' "$target"
        printf '\x00\x00'
        printf "$(le32 0)"
    } >"$file"
}

# Prints the Linux path of the user's Start Menu programs folder in the prefix, made if missing.
start_menu_programs() {
    local appdata programs
    appdata=$(wine cmd /c 'echo %APPDATA%' 2>/dev/null | tr -d '\r')
    [[ -n "$appdata" ]] || return 1
    programs="$(winepath -u "$appdata" 2>/dev/null)/Microsoft/Windows/Start Menu/Programs"
    mkdir -p "$programs" && echo "$programs"
}

# Runs the probe tool (tests/e2e/probe.cpp) with these arguments; its output without CRs.
probe() {
    local exe=${CORVANTILE_PROBE:-$E2E_ROOT/build/win/tests/e2e/corvantile_probe.exe}
    wine "$exe" "$@" 2>/dev/null | tr -d '\r'
}

# Waits up to $1 seconds for the probe command that follows to say yes.
wait_for_probe() {
    local seconds=$1
    shift
    local deadline=$((SECONDS + seconds))
    while ((SECONDS < deadline)); do
        probe "$@" >/dev/null && return 0
        sleep 0.3
    done
    return 1
}

# Shows the probe's plain window for the rest of the test, as another program the user works
# in; its X window id goes to OTHER.
open_other_window() {
    local exe=${CORVANTILE_PROBE:-$E2E_ROOT/build/win/tests/e2e/corvantile_probe.exe}
    wine "$exe" window 600 >/dev/null 2>&1 &
    E2E_PIDS+=($!)
    OTHER=$(wait_for_window 'Probe Window' 20)
}

# From the other window, the hot-key: waits for the bar to show and prints its window id. Wine
# follows a change of the X focus on its own time (there is no window manager): the hot-key
# waits a moment after the focus moved.
hot_key_from_other_window() {
    xdotool windowfocus --sync "$OTHER"
    sleep 0.5
    xdotool key ctrl+space
    wait_for_window Corvantile 5
}
