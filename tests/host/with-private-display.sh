#!/usr/bin/env bash
# Runs a command on its own virtual X display and in its own TMPDIR. Xvfb picks a free display
# number itself (-displayfd), so any number of these can run side by side; the server and the
# temporary files go when the command ends.
set -u

if ! command -v Xvfb > /dev/null; then
    echo "Xvfb is missing: run 'make deps' (package xvfb)" >&2
    exit 1
fi

work=$(mktemp -d /tmp/brimstack3-display-XXXXXX)
xvfb=""

cleanup() {
    if [ -n "$xvfb" ]; then
        kill "$xvfb" 2> /dev/null
        wait "$xvfb" 2> /dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 143' TERM INT

Xvfb -displayfd 3 -screen 0 1920x1200x24 -nolisten tcp 3> "$work/display" 2> "$work/xvfb.log" &
xvfb=$!

for _ in $(seq 200); do
    [ -s "$work/display" ] && break
    kill -0 "$xvfb" 2> /dev/null || break
    sleep 0.05
done

display=$(head -n 1 "$work/display" 2> /dev/null)

if [ -z "$display" ]; then
    echo "Xvfb did not start:" >&2
    cat "$work/xvfb.log" >&2
    exit 1
fi

# The command runs in a process group of its own, so whatever it started and left behind (a
# crashed test's jackd or jalv) can go with it; its temporary files go with TMPDIR.
set -m
DISPLAY=":$display" TMPDIR="$work" "$@" &
command_pid=$!
wait "$command_pid"
status=$?
kill -TERM -- "-$command_pid" 2> /dev/null
exit "$status"
