#!/usr/bin/env bash
# Runs the panel benchmark under Xvfb in a private D-Bus session, each measurement in a fresh
# process. Usage: run.sh BUILD_DIR [SECONDS]
set -euo pipefail
build=${1:?build dir}
seconds=${2:-60}
here=$(cd "$(dirname "$0")/../.." && pwd)
export TAVRIN_BUILD_DIR=$build QT_QPA_PLATFORM=xcb
run() { "$here/tests/run-session.sh" xvfb-run -a -s "-screen 0 1280x900x24" "$build/bench/bin/bench-panel" "$@"; }
run startup
run startup
run poll 1000 "$seconds"
run poll 3 "$seconds"
run poll 3 "$seconds" nopoll
