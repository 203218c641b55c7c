#!/usr/bin/env bash
# Installs what is missing, builds, and starts Tavrin Keldmarch (the panel). The build tree is laid
# out like an installed bundle, so the panel finds the reference server in build/libexec and can
# start it from its Status tab.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/bootstrap.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C build -j2

# Until the first-run wizard exists, give the server an admin password the way the wizard will:
# 43 URL-safe characters in the state folder's admin.secret, readable by this user only. An
# existing password is kept.
state="${TAVRIN_STATE_DIR:-${XDG_DATA_HOME:-$HOME/.local/share}/Tavrin Server}"
if [ ! -s "$state/admin.secret" ] || ! grep -q '[^[:space:]]' "$state/admin.secret"; then
  mkdir -p "$state"
  chmod 700 "$state"
  (umask 077; head -c 32 /dev/urandom | base64 | tr '+/' '-_' | tr -d '=\n' > "$state/admin.secret")
  echo "Created an admin password in $state/admin.secret"
fi

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

exec build/bin/tavrin-keldmarch "$@"
