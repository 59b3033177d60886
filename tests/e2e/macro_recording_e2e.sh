#!/usr/bin/env bash
# macro_recording_e2e.sh NORVANE NORVANE_CTL CHECKER
# Under Xvfb with a private session bus: "norvane --simulate=keyboard" records a macro while
# xdotool types keys (by X keycode, extended ones among them) and clicks; the macro is saved,
# bound to a key and written to the simulated keyboard. The checker compares the saved ".mac"
# file with the keys typed and the keyboard's macro memory with the file.
set -u
norvane=$1
ctl=$2
checker=$3
# shellcheck source=tests/e2e/lib.sh
. "$(dirname "$0")/lib.sh"

if [ "${NORVANE_E2E_INNER:-}" != 1 ]; then
  require_tools xvfb-run dbus-run-session xdotool python3
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  run_inside "$work" "$0" "$norvane" "$ctl" "$checker"
  exit $?
fi

mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
log=$(mktemp)
pid=
cleanup() {
  [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
  rm -f "$log"
}
trap cleanup EXIT


# ui STEP...: one step of the window's simulator control, waited for.
ui() {
  local before
  before=$(grep -c "norvane: ui step" "$log")
  "$ctl" sim ui "$*" >/dev/null || { echo "FAIL: norvane-ctl sim ui $* refused" >&2; exit 1; }
  wait_lines "norvane: ui step" $((before + 1)) || { echo "FAIL: ui step $* not carried out" >&2; exit 1; }
  if tail -n 50 "$log" | grep "norvane: ui step" | tail -n 1 | grep -q "failed"; then
    echo "FAIL: $(grep "norvane: ui step" "$log" | tail -n 1)" >&2
    exit 1
  fi
}

NORVANE_TRACE=1 "$norvane" --simulate=keyboard >"$log" 2>&1 &
pid=$!
wait_lines "tile [0-9]* shown, 1 connected" 1 ||
  { echo "FAIL: the keyboard tile was never shown" >&2; cat "$log" >&2; exit 1; }
echo "ok: norvane runs on the simulated keyboard"

ui notify macro_btn_name_add click
ui select macro_name_list 0
ui notify macro_btn_starredio click
# The capture selects its events on the root window before the click's step is done.
sleep 0.5
# shellcheck disable=SC2046
xdotool key --delay 20 $(python3 "$checker" --keycodes)
xdotool click 3
sleep 1
ui notify macro_btn_stopredio click
ui notify macro_btn_save click
echo "ok: recorded and saved"

# Bound to a key of the key assignment tab, then written to the keyboard.
ui notify key_Op_tab selectchanged
ui notify key_20 click
ui selectdata keyset_function_combo 9
ui select keyset_macro_combo 0
ui notify key_butt_prosave click
before=$(grep -c "sim keyboard macro memory" "$log")
"$ctl" sim dump keyboard >/dev/null || { echo "FAIL: no dump of the keyboard" >&2; exit 1; }
wait_lines "sim keyboard macro memory" $((before + 1)) || { echo "FAIL: no macro memory on the trace" >&2; exit 1; }

macros=("$NORVANE_DATA_HOME"/keyboard/*.mac)
[ -f "${macros[0]}" ] || { echo "FAIL: no .mac file saved" >&2; exit 1; }
python3 "$checker" "${macros[0]}" "$log" || { cp "$log" /tmp/macro_recording_e2e.log; exit 1; }

kill -TERM "$pid"
wait "$pid"
status=$?
pid=
[ $status -eq 0 ] || { echo "FAIL: SIGTERM ended it with $status" >&2; exit 1; }
echo "ok: ended with 0"
