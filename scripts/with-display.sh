#!/usr/bin/env bash
# Runs a command with a private virtual display and the build's Wine prefix, then stops
# what it started: with-display.sh ctest --test-dir build/win
set -uo pipefail
source "$(dirname "$0")/wine-env.sh"
trap corvantile_env_stop EXIT
trap 'exit 130' INT TERM
corvantile_env_start || exit 1
"$@"
