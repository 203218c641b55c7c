#!/usr/bin/env bash
# Runs one test program in a throw-away session: its own HOME and XDG folders, its own D-Bus
# session bus with an unlocked gnome-keyring, and the offscreen Qt platform. Everything it made
# is removed afterwards, and the bus (with the keyring) ends with it.
set -euo pipefail
root=$(mktemp -d /tmp/tavrin-test.XXXXXX)
trap 'rm -rf "$root"' EXIT
export HOME=$root/home XDG_RUNTIME_DIR=$root/run XDG_CONFIG_HOME=$root/home/.config \
       XDG_DATA_HOME=$root/home/.local/share XDG_CACHE_HOME=$root/home/.cache
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
# dbus-daemon, run as root, complains that it may not raise its file limit; that is harmless.
exec 2> >(grep --line-buffered -v 'Failed to set fd limit' >&2)
if [ "${TAVRIN_TEST_NO_KEYRING:-}" = 1 ]; then
  exec dbus-run-session -- "$@"
fi
exec dbus-run-session -- bash -c '
  if command -v gnome-keyring-daemon >/dev/null; then
    eval "$(printf pw | gnome-keyring-daemon --unlock --components=secrets 2>/dev/null)" || true
    export GNOME_KEYRING_CONTROL SSH_AUTH_SOCK
  fi
  "$@"' tavrin-test "$@"
