# Sourced by the tests that start the program itself: start a copy in the background, see
# that it stays up, end it with SIGTERM the way a session does.

# start_program <log file> <command...>: sets program_pid.
start_program() {
    local log=$1
    shift
    "$@" >"$log" 2>&1 &
    program_pid=$!
}

# expect_up <pid> <log file> <what>
expect_up() {
    kill -0 "$1" 2>/dev/null && return 0
    echo "FAIL: the program did not stay up ($3)"; cat "$2"; return 1
}

# stop_program <pid> <log file> <what>: it must end within 5 s with exit code 0 and no
# sanitizer report.
stop_program() {
    local pid=$1 log=$2 what=$3
    kill -TERM "$pid"
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$pid" 2>/dev/null; then
        echo "FAIL: the program ignored SIGTERM ($what)"; kill -KILL "$pid"; return 1
    fi
    wait "$pid"
    local rc=$?
    if [ "$rc" -ne 0 ]; then echo "FAIL: exit code $rc ($what)"; cat "$log"; return 1; fi
    if grep -q "ERROR: AddressSanitizer\|runtime error:" "$log"; then
        echo "FAIL: sanitizer report ($what)"; cat "$log"; return 1
    fi
    return 0
}
