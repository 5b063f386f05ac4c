# Sourced by the scripts that run the program under Wine: a private virtual display and a Wine
# prefix inside the build folder. Everything started here is stopped by corvantile_env_stop,
# by process id (the display) or through the prefix's own wineserver.

CORVANTILE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${CORVANTILE_WINEPREFIX:-$CORVANTILE_ROOT/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=win64

corvantile_xvfb_pid=""
corvantile_lock_fd=""

# Starts Xvfb on a display number it picks itself (-displayfd) and exports DISPLAY.
corvantile_start_display() {
    local fifo
    fifo=$(mktemp -u /tmp/corvantile-display.XXXXXX)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
    corvantile_xvfb_pid=$!
    local number=""
    read -r -t 30 number <"$fifo" || true
    rm -f "$fifo"
    if [[ -z "$number" ]]; then
        echo "wine-env: Xvfb did not start" >&2
        return 1
    fi
    export DISPLAY=":$number"
}

# Makes the prefix once: no Mono/Gecko prompts, no menu files, Wine's own fonts installed.
# A prefix made here is also kept as it is, untouched by any test, beside it ("<prefix>.pristine"):
# the tests that need a fresh prefix of their own copy it (see use_own_prefix in tests/e2e/lib.sh).
corvantile_prepare_prefix() {
    local made=""
    [[ -f "$WINEPREFIX/.corvantile-ready" ]] || made=1
    corvantile_create_prefix
    # Without a window manager, Wine would wait two seconds for one whenever a shown window is
    # hidden; unmanaged windows hide at once.
    if ! grep -q '"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
        wineserver -w
    fi
    if [[ -n "$made" ]]; then
        rm -rf "$WINEPREFIX.pristine"
        cp -a "$WINEPREFIX" "$WINEPREFIX.pristine"
    fi
}

corvantile_create_prefix() {
    [[ -f "$WINEPREFIX/.corvantile-ready" ]] && return 0
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    wineboot -i >/dev/null 2>&1
    wineserver -w
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    touch "$WINEPREFIX/.corvantile-ready"
}

# Takes the prefix for this run (one run at a time per prefix), starts the display,
# prepares the prefix and keeps a wineserver running so programs start quickly.
corvantile_env_start() {
    mkdir -p "$(dirname "$WINEPREFIX")"
    exec {corvantile_lock_fd}>"$WINEPREFIX.lock"
    if ! flock -w 1800 "$corvantile_lock_fd"; then
        echo "wine-env: the Wine prefix stayed busy" >&2
        return 1
    fi
    corvantile_start_display || return 1
    corvantile_prepare_prefix
    wineserver -p
    # Start Wine's background services now, detached from the caller's output: started by the
    # first test instead, they would inherit its output pipe and keep the test runner waiting.
    wine cmd /c exit </dev/null >/dev/null 2>&1
}

corvantile_env_stop() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    if [[ -n "$corvantile_xvfb_pid" ]]; then
        kill "$corvantile_xvfb_pid" 2>/dev/null || true
        wait "$corvantile_xvfb_pid" 2>/dev/null || true
        corvantile_xvfb_pid=""
    fi
    if [[ -n "$corvantile_lock_fd" ]]; then
        exec {corvantile_lock_fd}>&-
        corvantile_lock_fd=""
    fi
}
