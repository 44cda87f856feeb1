#!/usr/bin/env bash
# Runs a command under an Xvfb server of its own: Xvfb picks a free display number (-displayfd),
# the command runs with DISPLAY set to it, and exactly that server (by its process id) is
# stopped afterwards, whatever the command's outcome.
#   scripts/with-xvfb.sh ctest --test-dir build-asan -L gui
set -euo pipefail
if [ $# -eq 0 ]; then
  echo "usage: $0 command [args...]" >&2
  exit 2
fi
numfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$numfile" 2>/dev/null &
xvfb_pid=$!
cleanup() {
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  rm -f "$numfile"
}
trap cleanup EXIT
for _ in $(seq 1 100); do
  [ -s "$numfile" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || { echo "Xvfb did not start" >&2; exit 1; }
  sleep 0.1
done
display=$(tr -dc '0-9' < "$numfile")
if [ -z "$display" ]; then
  echo "Xvfb reported no display number" >&2
  exit 1
fi
export DISPLAY=":$display"
"$@"
