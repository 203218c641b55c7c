#!/usr/bin/env bash
# Builds the Debian package of Tavrin Keldmarch (the panel, the reference server and tavrinctl, installed
# in /opt/tavrin-keldmarch, with its desktop entry, icon, AppStream metainfo, the /usr/bin/tavrinctl
# link, its man page and bash completion) and prints its path.
# Usage: bash scripts/package.sh [build-dir]
#   An existing build folder is reused as it is configured; a new one is configured for release.
#   TAVRIN_UPDATE_PUBLIC_KEY=<hex> pins the key that signed updates must carry, and
#   TAVRIN_UPDATE_FEED=<url> names the feed the package's server reads them from (see README.md).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
bash scripts/bootstrap.sh

args=()
[ -f "$build/CMakeCache.txt" ] || args+=(-G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo)
for var in TAVRIN_UPDATE_PUBLIC_KEY TAVRIN_UPDATE_FEED; do
  [ -n "${!var:-}" ] && args+=("-D$var=${!var}")
done
cmake -S . -B "$build" "${args[@]}" >/dev/null
cache() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
if [ "$(cache TAVRIN_SANITIZE)" = ON ]; then
  echo "package: $build is a sanitizer build; package a release build instead" >&2
  exit 1
fi
[ -n "$(cache TAVRIN_UPDATE_PUBLIC_KEY)" ] ||
  echo "package: no update key is pinned (TAVRIN_UPDATE_PUBLIC_KEY), so this package's server will refuse every update" >&2

ninja -C "$build" -j2 tavrin-keldmarch tavrin-server tavrinctl tavrinctl-docs-files translations >&2
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! (cd "$build" && cpack -G DEB) >"$log" 2>&1; then
  cat "$log" >&2
  echo "package: cpack failed" >&2
  exit 1
fi
sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p' "$log"
