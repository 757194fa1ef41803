# Sourced by the tests that start the program itself: start a copy in the background, see
# that it stays up, end it with SIGTERM the way a session does.

# start_program <log file> <command...>: sets program_pid.
start_program() {
    local log=$1
    shift
    "$@" >"$log" 2>&1 &
    program_pid=$!
}

# catches_sigterm <pid>: the program has come as far as handling SIGTERM (signal 15).
catches_sigterm() {
    local caught
    caught=$(awk '/^SigCgt:/ { print $2 }' "/proc/$1/status" 2>/dev/null)
    [ -n "$caught" ] && (( (16#$caught >> 14) & 1 ))
}

# listening_in <folder>: how many local sockets listen under it.
listening_in() { grep -c " $1/" /proc/net/unix; }

# expect_running <pid> <folder> <log file> <what>: waits up to 30 s until the program holds
# its one-copy socket under <folder> (beyond the `before` count) and handles SIGTERM, the last
# steps before its event loop starts the window.
expect_running() {
    local pid=$1 folder=$2 log=$3 what=$4 before=${5:-0}
    for _ in $(seq 300); do
        [ "$(listening_in "$folder")" -gt "$before" ] && catches_sigterm "$pid" && return 0
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    echo "FAIL: the program did not come up ($what)"; cat "$log"; return 1
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
