#!/usr/bin/env bash
# Installs what is missing, builds, and starts Tavrin Keldmarch (the panel). The build tree is laid
# out like an installed bundle, so the panel finds the reference server in build/libexec; its
# first-run setup makes the admin password, starts that server and issues a first API key.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/bootstrap.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C build -j2

# A new user has no companion app yet: give the server a small sample model to show, in the
# companion's own user folder, unless a bundle is there already or installed for everyone.
companion="${XDG_DATA_HOME:-$HOME/.local/share}/tavrin-ai/resources"
found=no
for dir in /opt/tavrin-ai/resources "$companion"; do
  for file in "$dir/model.safetensors" "$dir/ModelResources/model.safetensors"; do
    [ -e "$file" ] && found=yes
  done
done
if [ "$found" = no ]; then
  build/libexec/tavrin-server make-sample-bundle "$companion" >/dev/null
  echo "Put a sample model bundle in $companion"
fi

# The readiness step judges this machine as it is; --simulate-host given here tries another one.
exec build/bin/tavrin-keldmarch "$@"
