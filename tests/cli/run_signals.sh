#!/bin/sh
# A termination signal in the middle of a write leaves no temporary file, and
# what a kill -9 leaves is removed by the next write of the same files.
#   run_signals.sh CLI WORK
cli=$1
work=$2
rm -rf "$work"
mkdir -p "$work"
"$cli" generate --students 300 --output-dir "$work/class" >/dev/null || exit 1
class="--data $work/class/students.txt --concepts $work/class/concepts.txt --items $work/class/item-concepts.txt"

# Starts report --all into $work/out, waits until a temporary file is there
# (the folder is being staged), then sends the signal.
interrupt() {
    signal=$1
    # A background job starts with SIGINT ignored; the program keeps an
    # ignored signal ignored, so it is given the default here.
    # shellcheck disable=SC2086
    env --default-signal=INT "$cli" report $class --all --output "$work/out" --format svg \
        --threads 1 >/dev/null 2>&1 &
    pid=$!
    while [ -z "$(ls -A "$work/out" 2>/dev/null | grep '^\.')" ]; do
        if ! kill -0 "$pid" 2>/dev/null; then
            echo "report ended before its first temporary file was seen"
            exit 1
        fi
        sleep 0.01
    done
    kill "-$signal" "$pid"
    wait "$pid"
    status=$?
    if [ "$signal" != KILL ] && [ "$status" -lt 128 ]; then
        echo "SIG$signal: exit status $status, not ended by the signal"
        exit 1
    fi
}

leftovers() {
    ls -A "$work/out" | grep '^\.'
}

for signal in TERM INT HUP; do
    interrupt $signal
    if leftovers; then
        echo "SIG$signal left the temporary files above"
        exit 1
    fi
done

interrupt KILL
# shellcheck disable=SC2086
"$cli" report $class --all --output "$work/out" --format svg >/dev/null || exit 1
if leftovers; then
    echo "the run after a kill -9 left the temporary files above"
    exit 1
fi
exit 0
