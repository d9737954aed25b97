#!/usr/bin/env bash
# Runs a test program on a virtual display of its own, then ends the display. The server
# picks a free display number itself (-displayfd), so that tests run side by side never
# share one. A program only asked to list its tests runs without a display.
# Usage: on-display.sh PROGRAM [ARGUMENTS...]
set -u

for argument in "$@"; do
    if [ "$argument" = "--gtest_list_tests" ]; then
        QT_QPA_PLATFORM=offscreen exec "$@"
    fi
done

number_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$number_file" >/dev/null 2>&1 &
server=$!
test_pid=""
finish() {
    [ -n "$test_pid" ] && kill -TERM "$test_pid" 2>/dev/null
    kill -TERM "$server" 2>/dev/null
    wait "$server" 2>/dev/null
    rm -f "$number_file"
}
trap 'finish; exit 143' TERM INT

# The server writes its number once it accepts connections.
for _ in $(seq 1 300); do
    grep -q '^[0-9]\+$' "$number_file" 2>/dev/null && break
    if ! kill -0 "$server" 2>/dev/null; then
        echo "on-display.sh: the virtual display did not start" >&2
        rm -f "$number_file"
        exit 1
    fi
    sleep 0.1
done
if ! grep -q '^[0-9]\+$' "$number_file"; then
    echo "on-display.sh: the virtual display did not start within 30 s" >&2
    finish
    exit 1
fi
export DISPLAY=":$(head -1 "$number_file")"
unset QT_QPA_PLATFORM

"$@" &
test_pid=$!
wait "$test_pid"
status=$?
test_pid=""
finish
exit "$status"
