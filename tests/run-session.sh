#!/usr/bin/env bash
# Runs one test program in a throw-away session: its own HOME and XDG folders, its own D-Bus
# session bus with an unlocked gnome-keyring, and the offscreen Qt platform. Everything it made
# is removed afterwards, every process it started ended, and the bus (with the keyring) ends with it.
#   TAVRIN_TEST_NO_KEYRING=1      a bus that has no Secret Service at all, and cannot start one;
#   TAVRIN_TEST_KEYRING_LOCKED=1  a keyring that is started on demand but cannot be unlocked, so
#                                 it refuses every write (as when the user dismisses its prompt).
set -euo pipefail
root=$(mktemp -d /tmp/tavrin-test.XXXXXX)
# A server outlives the panel that started it; nothing outlives the session. Every process the test
# starts carries TAVRIN_TEST_SESSION in its environment, and whatever still does at the end is ended.
end_session() {
  unset TAVRIN_TEST_SESSION
  for pid in $(grep -lzxF "TAVRIN_TEST_SESSION=$root" /proc/[0-9]*/environ 2>/dev/null | cut -d/ -f3); do
    kill -KILL "$pid" 2>/dev/null || true
  done
  rm -rf "$root"
}
trap end_session EXIT
export HOME=$root/home XDG_RUNTIME_DIR=$root/run XDG_CONFIG_HOME=$root/home/.config \
       XDG_DATA_HOME=$root/home/.local/share XDG_CACHE_HOME=$root/home/.cache
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
# dbus-daemon, run as root, complains that it may not raise its file limit; that is harmless.
exec 2> >(grep --line-buffered -v 'Failed to set fd limit' >&2)
export TAVRIN_TEST_SESSION=$root # after the filter above, which must outlast the test
if [ "${TAVRIN_TEST_NO_KEYRING:-}" = 1 ]; then
  dbus-run-session --config-file="$(dirname "$0")/bus-without-services.conf" -- "$@"
  exit $?
fi
if [ "${TAVRIN_TEST_KEYRING_LOCKED:-}" = 1 ]; then
  dbus-run-session -- "$@"
  exit $?
fi
dbus-run-session -- bash -c '
  # The keyring runs in the foreground as a child of this shell, so it ends with the test instead
  # of outliving the bus; the test starts once the Secret Service name is on the bus.
  keyring=
  if command -v gnome-keyring-daemon >/dev/null; then
    printf pw | gnome-keyring-daemon --unlock --foreground --components=secrets >/dev/null 2>&1 &
    keyring=$!
    for _ in $(seq 100); do
      dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.freedesktop.secrets 2>/dev/null | grep -q true && break
      sleep 0.05
    done
  fi
  "$@"
  status=$?
  [ -n "$keyring" ] && { kill "$keyring" 2>/dev/null; wait "$keyring" 2>/dev/null; }
  exit $status' tavrin-test "$@"
exit $?
