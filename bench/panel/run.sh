#!/usr/bin/env bash
# Runs the panel benchmark under Xvfb, with a tray host as on a desktop, in a private D-Bus session;
# each measurement in a fresh process, RUNS times, the yardsticks (a bare Qt 6 window, curl making the
# poll's three requests; the same requests from a Qt program alone, through QNetworkAccessManager and
# through one plain socket) interleaved with the panel's own runs so that the ratios hold on a busy
# machine. Then Start and Stop pressed on the Status tab against the real server, and a soak of 12,000
# quick polls. Prints the medians.
# Usage: run.sh BUILD_DIR [SECONDS] [RUNS]
set -euo pipefail
build=${1:?build dir}
seconds=${2:-30}
runs=${3:-3}
here=$(cd "$(dirname "$0")/../.." && pwd)
export TAVRIN_BUILD_DIR=$build QT_QPA_PLATFORM=xcb
results=$(mktemp)
trap 'rm -f "$results"' EXIT

# One measurement in its own X server and session; its `name value` lines are kept under `label`.
measure() {
  local label=$1
  shift
  "$here/tests/run-session.sh" xvfb-run -a -s "-screen 0 1280x900x24" \
    bash "$here/bench/panel/with-tray.sh" "$build/bench/bin/bench-panel" "$@" |
    sed "s/^/$label /" >>"$results"
}

for run in $(seq "$runs"); do
  echo "run $run of $runs" >&2
  measure bare bare "$seconds"
  measure panel-start startup
  measure curl-1000 curl 1000 "$seconds"
  measure window-1000 poll 1000 "$seconds" window
  measure window-3 poll 3 "$seconds" window
  measure tray-1000 poll 1000 "$seconds" tray
  measure tray-3 poll 3 "$seconds" tray
  measure curl-3 curl 3 "$seconds"
  measure qnam-3 qnam 3 "$seconds"
  measure socket-3 socket 3 "$seconds"
  measure startstop startstop 5
done
# A day in the tray, compressed into 12,000 quick polls: once, it takes a minute and a half.
measure soak soak 12000

python3 "$here/bench/panel/summary.py" "$results" "$runs"
