#!/usr/bin/env bash
# Prints the reference server's latency, throughput and memory numbers. Builds nothing:
# build first (ninja -C BUILD_DIR bench-server tavrin-server), ideally a Release build.
# Usage: bench/server/run.sh BUILD_DIR [--seconds N] [--rate N]
set -euo pipefail
build=${1:?usage: $0 BUILD_DIR [--seconds N] [--rate N]}
shift
build=$(cd "$build" && pwd)
for f in "$build/bench/bin/bench-server" "$build/libexec/tavrin-server"; do
  [ -x "$f" ] || { echo "missing $f: build it first" >&2; exit 2; }
done
command -v wrk >/dev/null || { echo "wrk is not installed" >&2; exit 2; }
exec "$build/bench/bin/bench-server" "$build" "$@"
