#!/usr/bin/env bash
# Builds the benchmarks optimised in build-bench/ and runs each one, printing its numbers.
# Usage: bash bench/run.sh [name-filter]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/bootstrap.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
ninja -C build-bench -j2 >/dev/null
export TAVRIN_BUILD_DIR=$PWD/build-bench
for bench in build-bench/bench/bin/bench-*; do
  case "$bench" in *"${1:-}"*) ;; *) continue ;; esac
  echo "== $(basename "$bench")"
  if [ -f "bench/$(basename "$bench" | sed 's/^bench-//')/run.sh" ]; then
    bash "bench/$(basename "$bench" | sed 's/^bench-//')/run.sh" "$PWD/build-bench"
  else
    tests/run-session.sh "$PWD/$bench"
  fi
done
