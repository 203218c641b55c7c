#!/usr/bin/env bash
# Stands in for `systemctl --user`, which needs a systemd user manager that cannot run on the test
# machines. It answers as systemd 252 does, with the same exit statuses and the same words:
#   - unit-file verbs (enable, disable, is-enabled) work on $XDG_CONFIG_HOME/systemd/user with or
#     without a manager, as the real tool does;
#   - manager verbs (start, restart, stop, show, daemon-reload) need the manager. With
#     SCRIPTED_SYSTEMCTL_NO_MANAGER=1 they fail the way they fail here, where none runs:
#     "Failed to connect to bus: No such file or directory", exit 1;
#   - with a manager: stop of an unknown unit exits 5 "Unit … not loaded.", show of an unknown unit
#     exits 0 with LoadState=not-found, start/restart of an unknown unit exits 5 "Unit … not found.",
#     is-enabled answers enabled (0) or disabled (1) and fails (1) for an unknown unit;
#   - with SCRIPTED_SYSTEMCTL_FAIL_START=1 a unit that exists fails to start, as one whose server
#     exits at once does: "Job for … failed …", exit 1.
# The manager's memory (which units run) lives in $SCRIPTED_SYSTEMCTL_STATE. A running unit reports
# MainPID=$SCRIPTED_SYSTEMCTL_MAINPID (default 4321). Every call is appended to $SCRIPTED_SYSTEMCTL_LOG.
set -u
units=${XDG_CONFIG_HOME:-$HOME/.config}/systemd/user
wants=$units/default.target.wants
state=${SCRIPTED_SYSTEMCTL_STATE:-${XDG_RUNTIME_DIR:-/tmp}/scripted-systemd}
mkdir -p "$state"
[ -n "${SCRIPTED_SYSTEMCTL_LOG:-}" ] && echo "$*" >>"$SCRIPTED_SYSTEMCTL_LOG"

now=0 properties= words=()
for a in "$@"; do
  case $a in
    --user|--no-pager|--quiet) ;;
    --now) now=1 ;;
    --property=*) properties=${a#--property=} ;;
    -*) echo "systemctl: unrecognized option '$a'" >&2; exit 1 ;;
    *) words+=("$a") ;;
  esac
done
verb=${words[0]:-}
unit=${words[1]:-}

no_bus() { echo "Failed to connect to bus: No such file or directory" >&2; exit 1; }
need_manager() { [ "${SCRIPTED_SYSTEMCTL_NO_MANAGER:-}" = 1 ] && no_bus; return 0; }
have_file() { [ -f "$units/$unit" ]; }

start_unit() { # $1: the verb's name in systemd's message
  need_manager
  if ! have_file; then echo "Failed to $1 $unit: Unit $unit not found." >&2; exit 5; fi
  if [ "${SCRIPTED_SYSTEMCTL_FAIL_START:-}" = 1 ]; then
    echo "Job for $unit failed because the control process exited with error code." >&2; exit 1
  fi
  echo "${SCRIPTED_SYSTEMCTL_MAINPID:-4321}" >"$state/$unit"
}

case $verb in
  is-enabled)
    if ! have_file; then echo "Failed to get unit file state for $unit: No such file or directory" >&2; exit 1; fi
    if [ -L "$wants/$unit" ]; then echo enabled; exit 0; fi
    echo disabled; exit 1 ;;
  enable)
    if ! have_file; then echo "Failed to enable unit: Unit file $unit does not exist." >&2; exit 1; fi
    if [ ! -L "$wants/$unit" ]; then
      mkdir -p "$wants"; ln -s "$units/$unit" "$wants/$unit"
      echo "Created symlink $wants/$unit → $units/$unit." >&2
    fi
    [ $now = 1 ] && start_unit start
    exit 0 ;;
  disable)
    if ! have_file; then echo "Failed to disable unit: Unit file $unit does not exist." >&2; exit 1; fi
    if [ -L "$wants/$unit" ]; then rm -f "$wants/$unit"; echo "Removed \"$wants/$unit\"." >&2; fi
    if [ $now = 1 ]; then need_manager; rm -f "$state/$unit"; fi
    exit 0 ;;
  start|restart)
    start_unit "$verb"; exit 0 ;;
  stop)
    need_manager
    if [ -f "$state/$unit" ]; then rm -f "$state/$unit"; exit 0; fi
    if have_file; then exit 0; fi
    echo "Failed to stop $unit: Unit $unit not loaded." >&2; exit 5 ;;
  show)
    need_manager
    if [ -f "$state/$unit" ]; then load=loaded active=active sub=running pid=$(cat "$state/$unit")
    elif have_file; then load=loaded active=inactive sub=dead pid=0
    else load=not-found active=inactive sub=dead pid=0; fi
    if ! have_file; then file_state=
    elif [ -L "$wants/$unit" ]; then file_state=enabled
    else file_state=disabled; fi
    # systemd prints properties in its own order, not the requested one.
    for p in MainPID LoadState ActiveState SubState UnitFileState; do
      case ",$properties," in *",$p,"*|,,) ;; *) continue ;; esac
      case $p in
        MainPID) echo "MainPID=$pid" ;; LoadState) echo "LoadState=$load" ;;
        ActiveState) echo "ActiveState=$active" ;; SubState) echo "SubState=$sub" ;;
        UnitFileState) echo "UnitFileState=$file_state" ;;
      esac
    done
    exit 0 ;;
  daemon-reload)
    need_manager; exit 0 ;;
  *)
    echo "Unknown command verb $verb." >&2; exit 1 ;;
esac
