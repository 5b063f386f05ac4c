#!/usr/bin/env bash
# A crash leaves something to send: the program made to fault at start-up writes a minidump and
# a log line beside its settings and ends; the next start tells of the waiting report once. A C++
# exception that escapes a thread leaves a report too.
source "$(dirname "$0")/lib.sh"

CORVANTILE_CRASH_TEST=1 start_program
wait_for_exit "$E2E_PID" 30 || fail "the crashing program did not end"
log="$E2E_DIR/Corvantile.log"
dumps=("$E2E_DIR"/Corvantile-crash-*.dmp)
[[ -s "${dumps[0]}" ]] || fail "no crash dump was written"
[[ "$(head -c 4 "${dumps[0]}")" == MDMP ]] || fail "the crash dump is no minidump"
grep -q "started" "$log" || fail "the start was not logged"
grep -q "crashed (exception 0xC0000005" "$log" || fail "the crash was not logged: $(cat "$log")"
grep -q "$(basename "${dumps[0]}")" "$log" || fail "the log does not name the dump"

start_and_wait || fail "the program did not start again after the crash"
for _ in $(seq 1 50); do
    grep -q "crash report is waiting" "$log" && break
    sleep 0.2
done
grep -q "crash report is waiting" "$log" || fail "the next start did not tell of the crash report"
stop_program
start_and_wait || fail "the program did not start a third time"
stop_program
[[ $(grep -c "crash report is waiting" "$log") == 1 ]] || fail "the crash report was told twice"
[[ $(grep -c "ended\.$" "$log") == 2 ]] || fail "the ends were not logged: $(cat "$log")"

rm -f "$E2E_DIR"/Corvantile-crash-*.dmp
CORVANTILE_CRASH_TEST=2 start_program
wait_for_exit "$E2E_PID" 30 || fail "the program with an uncaught exception did not end"
[[ -s $(ls "$E2E_DIR"/Corvantile-crash-*.dmp 2>/dev/null | head -n 1) ]] ||
    fail "an uncaught exception left no crash dump"
grep -q "crashed (an exception nothing caught: naïve café)" "$log" ||
    fail "the uncaught exception was not logged: $(cat "$log")"
echo "PASS $E2E_NAME"
