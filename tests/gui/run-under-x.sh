#!/usr/bin/env bash
# Runs a command under a virtual X server with a window manager, both started here on a free
# display and stopped when the command ends, so that the windows meet a real desktop's key
# bindings, focus and activation rather than the offscreen platform's.
set -u
for tool in Xvfb openbox; do
  command -v "$tool" >/dev/null || { echo "run-under-x: $tool is not installed (scripts/install-deps.sh installs it)" >&2; exit 1; }
done
work=$(mktemp -d)
server=""
manager=""
stop() {
  [ -n "$manager" ] && kill "$manager" 2>/dev/null && wait "$manager" 2>/dev/null
  [ -n "$server" ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
  rm -rf "$work"
}
trap stop EXIT
trap 'exit 130' INT TERM

# The server chooses a free display and writes its number once it accepts clients.
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$work/display" 2>"$work/xvfb.log" &
server=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  kill -0 "$server" 2>/dev/null || { cat "$work/xvfb.log" >&2; exit 1; }
  sleep 0.1
done
[ -s "$work/display" ] || { echo "run-under-x: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"

# The window manager says when it is ready by running its start-up command.
openbox --sm-disable --startup "touch $work/ready" 2>"$work/openbox.log" &
manager=$!
for _ in $(seq 100); do
  [ -e "$work/ready" ] && break
  sleep 0.1
done
[ -e "$work/ready" ] || { cat "$work/openbox.log" >&2; echo "run-under-x: openbox did not start" >&2; exit 1; }

QT_QPA_PLATFORM=xcb "$@"
