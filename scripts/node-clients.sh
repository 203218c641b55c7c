#!/usr/bin/env bash
# Installs the Node clients the test suite drives (tests/clients: the official OpenAI client, at the
# version and checksum its lock file pins) into BUILD/node-clients, once: nothing is fetched while
# the installed lock file matches. Without npm, or offline, it says so and goes on: the rest of
# the suite still runs, and the client's test skips, or fails when CI=true.
# Usage: bash scripts/node-clients.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:-build}/node-clients

if cmp -s tests/clients/package-lock.json "$target/package-lock.json" && [ -f "$target/node_modules/openai/package.json" ]; then
  exit 0
fi
if ! command -v npm >/dev/null; then
  echo "node-clients: npm is not installed, so the official client's test cannot run" >&2
  exit 0
fi
mkdir -p "$target"
cp tests/clients/package.json tests/clients/package-lock.json "$target"/
# No install scripts run: the clients are libraries, and nothing of theirs runs but what a test calls.
npm ci --prefix "$target" --no-audit --no-fund --ignore-scripts --loglevel=error ||
  echo "node-clients: installing tests/clients into $target failed, so the official client's test cannot run" >&2
