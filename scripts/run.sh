#!/usr/bin/env bash
# Installs what is missing, builds, and starts Tavrin Keldmarch.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/bootstrap.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C build -j2

if [ -x build/bin/tavrin-keldmarch ]; then
  exec build/bin/tavrin-keldmarch "$@"
fi
if [ -x build/libexec/tavrin-server ]; then
  echo "The panel is not part of this build yet; starting the reference server on 127.0.0.1:11434."
  echo "Its state lives in ~/.local/share/Tavrin Server; put an admin password in admin.secret there."
  exec build/libexec/tavrin-server serve "$@"
fi
echo "Neither the panel nor the reference server is part of this build yet."
echo "What runs so far: the admin protocol library, its tests (bash scripts/test.sh) and its benchmark (bash bench/run.sh)."
