#!/usr/bin/env bash
# main_window_e2e.sh NORVANE SHOTS_DIR NORVANE_CTL
# Without a display norvane refuses with a clear message. Under Xvfb with a private session
# bus: the first copy starts with a simulated keyboard and takes the bus name, a second copy
# wakes it and exits 0, "norvane-ctl sim" unplugs the keyboard (its tile is hidden) and plugs it
# again (shown) and has its bad requests refused, SIGTERM ends the first with 0 (within its
# bounded shutdown), a copy on real devices refuses the simulator control, and a third run
# saves a screenshot of its shown window.
set -u
norvane=$1
shots=$2
ctl=$3
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"

if [ "${NORVANE_E2E_INNER:-}" != 1 ]; then
  require_tools xvfb-run dbus-run-session dbus-send
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  # No display: a clear message and a non-zero status.
  if env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= XDG_CONFIG_HOME="$work/config" \
      NORVANE_DATA_HOME="$work/data" "$norvane" --simulate=keyboard >"$work/out" 2>"$work/err"; then
    echo "FAIL: started without a display" >&2
    exit 1
  fi
  grep -q "no display" "$work/err" || { echo "FAIL: no message about the display" >&2; cat "$work/err" >&2; exit 1; }
  echo "ok: no display refused: $(cat "$work/err")"
  run_inside "$work" "$0" "$norvane" "$shots" "$ctl"
  exit $?
fi

mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
log=$(mktemp)
trap 'rm -f "$log"' EXIT

has_owner() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner string:io.norvane.Norvane 2>/dev/null | grep -q "boolean true"
}


# ctl_expect STATUS ARGS...: norvane-ctl ends with STATUS.
ctl_expect() {
  local want=$1
  shift
  local out
  out=$("$ctl" "$@" 2>&1)
  local got=$?
  [ "$got" -eq "$want" ] || { echo "FAIL: norvane-ctl $* exited $got, not $want: $out" >&2; exit 1; }
  echo "ok: norvane-ctl $* -> $got${out:+: $out}"
}

NORVANE_TRACE=1 "$norvane" --simulate=keyboard >"$log" 2>&1 &
first=$!
for _ in $(seq 100); do
  has_owner && break
  sleep 0.1
done
has_owner || { echo "FAIL: the first copy did not take the bus name" >&2; cat "$log" >&2; exit 1; }
echo "ok: first copy runs (pid $first)"

second_out=$("$norvane" --simulate=keyboard 2>&1)
second=$?
[ $second -eq 0 ] || { echo "FAIL: second start exited $second: $second_out" >&2; exit 1; }
echo "$second_out" | grep -q "already running" || { echo "FAIL: second start did not defer: $second_out" >&2; exit 1; }
kill -0 "$first" 2>/dev/null || { echo "FAIL: the first copy ended" >&2; exit 1; }
echo "ok: second start woke the first and exited 0"

wait_lines "tile [0-9]* shown" 1 || { echo "FAIL: the keyboard tile was never shown" >&2; cat "$log" >&2; exit 1; }
ctl_expect 0 sim unplug keyboard
wait_lines "tile [0-9]* hidden, 0 connected" 1 ||
  { echo "FAIL: the tile stayed after the unplug" >&2; cat "$log" >&2; exit 1; }
shown=$(grep -c "tile [0-9]* shown, 1 connected" "$log")
ctl_expect 0 sim plug keyboard
wait_lines "tile [0-9]* shown, 1 connected" $((shown + 1)) ||
  { echo "FAIL: the tile did not come back after the plug" >&2; cat "$log" >&2; exit 1; }
echo "ok: unplug hid the keyboard tile and plug showed it again"
ctl_expect 1 sim dance keyboard
ctl_expect 1 sim plug toaster
ctl_expect 1 sim plug mouse
ctl_expect 2 sim plug

kill -TERM "$first"
# The stop joins the scan and light-sync threads, each within 1000 ms.
for _ in $(seq 50); do
  kill -0 "$first" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$first" 2>/dev/null; then
  echo "FAIL: still running 5 s after SIGTERM" >&2
  kill -KILL "$first"
  exit 1
fi
wait "$first"
status=$?
[ $status -eq 0 ] || { echo "FAIL: SIGTERM ended it with $status" >&2; cat "$log" >&2; exit 1; }
echo "ok: SIGTERM ended it with 0"
ctl_expect 3 sim plug keyboard

# On real devices the control does not exist.
"$norvane" >"$log" 2>&1 &
real=$!
for _ in $(seq 100); do
  has_owner && break
  sleep 0.1
done
has_owner || { echo "FAIL: the copy on real devices did not take the bus name" >&2; cat "$log" >&2; exit 1; }
ctl_expect 1 sim plug keyboard
kill -TERM "$real"
wait "$real"
status=$?
[ $status -eq 0 ] || { echo "FAIL: the copy on real devices ended with $status" >&2; cat "$log" >&2; exit 1; }

mkdir -p "$shots"
rm -f "$shots/main_window.png"
shot_out=$("$norvane" --simulate=keyboard --screenshot "$shots/main_window.png" --quit-after 3000 2>&1)
status=$?
[ $status -eq 0 ] || { echo "FAIL: screenshot run exited $status: $shot_out" >&2; exit 1; }
echo "$shot_out" | grep -q "window shown" || { echo "FAIL: window not shown: $shot_out" >&2; exit 1; }
[ -s "$shots/main_window.png" ] || { echo "FAIL: no screenshot" >&2; exit 1; }
echo "ok: $(echo "$shot_out" | grep screenshot)"
