#!/usr/bin/env bash
# Installs what is missing (the Node clients the suite drives too), builds, and runs the whole test suite.
# Usage: bash scripts/test.sh [build-dir]    (extra CMake options in TAVRIN_CMAKE_ARGS)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
bash scripts/bootstrap.sh
# shellcheck disable=SC2086
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${CMAKE_BUILD_TYPE:-RelWithDebInfo}" ${TAVRIN_CMAKE_ARGS:-} >/dev/null
ninja -C "$build" -j2
bash scripts/node-clients.sh "$build"
ctest --test-dir "$build" --output-on-failure -j2
