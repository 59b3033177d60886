# Runs inside the VM (the host's system, bash, as root). BIN (the build's program folder) and
# OUT (the folder shared with the host) are set above by window.sh. The whole program on real
# devices under Xvfb and a private session bus, the keyboard a USB gadget of
# norvane-uhid-sim: its tile comes and goes with the gadget, and a key set through the window
# (xdotool clicks) lands in the gadget's key table. Prints "FAIL: …" for each failed check.
set -u
failures=0
fail() { echo "FAIL: $* (${SECONDS} s)"; failures=$((failures + 1)); }
pass() { echo "ok: $* (${SECONDS} s)"; }

if [ "${1:-}" != inner ]; then
  export HOME=/tmp/home
  export XDG_CONFIG_HOME=$HOME/config NORVANE_DATA_HOME=$HOME/data XDG_RUNTIME_DIR=$HOME/run
  mkdir -p "$XDG_CONFIG_HOME" "$NORVANE_DATA_HOME" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  Xvfb :1 -screen 0 1280x1024x24 -nolisten tcp >/tmp/xvfb.log 2>&1 &
  xvfb=$!
  for _ in $(seq 100); do [ -S /tmp/.X11-unix/X1 ] && break; sleep 0.1; done
  [ -S /tmp/.X11-unix/X1 ] || { cat /tmp/xvfb.log; echo "FAIL: Xvfb did not start"; exit 1; }
  DISPLAY=:1 dbus-run-session -- bash "$0" inner
  status=$?
  kill "$xvfb"
  exit $status
fi

log=/tmp/norvane.log
sim=
norvane=
finish() {
  [ -n "$sim" ] && kill "$sim" 2>/dev/null
  [ -n "$norvane" ] && kill -KILL "$norvane" 2>/dev/null
  cp "$log" "$OUT/norvane.log" 2>/dev/null
  cp /tmp/sim.out "$OUT/sim.log" 2>/dev/null
}
trap finish EXIT

# wait_lines PATTERN N [TENTHS]: the log holds N lines matching PATTERN (within 30 s by default).
wait_lines() {
  for _ in $(seq "${3:-300}"); do
    [ "$(grep -c -- "$1" "$log")" -ge "$2" ] && return 0
    sleep 0.1
  done
  return 1
}

# plug: the simulator makes the keyboard gadget, answering until "quit" on its fifo.
plug() {
  rm -f /tmp/sim.ctl
  mkfifo /tmp/sim.ctl
  "$BIN/norvane-uhid-sim" --usb keyboard </tmp/sim.ctl >/tmp/sim.out 2>&1 &
  sim=$!
  exec 3>/tmp/sim.ctl
  for _ in $(seq 300); do grep -q '^ready' /tmp/sim.out && return 0; sleep 0.1; done
  cat /tmp/sim.out
  fail "the simulator did not start"
  return 1
}

# unplug: the simulator removes its gadget and ends.
unplug() {
  echo quit >&3
  exec 3>&-
  wait "$sim"
  sim=
}

# keytable: the gadget-side firmware model's key table, three bytes a key, one key a line.
keytable() {
  local before
  before=$(wc -l </tmp/sim.out)
  echo "dump keyboard keytable" >&3
  for _ in $(seq 50); do [ "$(wc -l </tmp/sim.out)" -gt "$before" ] && break; sleep 0.1; done
  tail -n +$((before + 1)) /tmp/sim.out | head -n 1 | cut -d' ' -f2- | tr ' ' '\n' | paste -d' ' - - -
}

visible_windows() { xdotool search --onlyvisible --name '' 2>/dev/null | wc -l; }

# click X Y EVENT [popup]: clicks at X,Y of the window and waits for the control's EVENT on the
# trace, and with "popup" for the drop-down list's own window to be shown.
click() {
  local before windows
  before=$(grep -c -- "^$3\$" "$log")
  windows=$(visible_windows)
  xdotool mousemove $((wx + $1)) $((wy + $2)) click 1
  wait_lines "^$3\$" $((before + 1)) || { fail "no '$3' after a click at $1,$2"; return 1; }
  [ "${4:-}" = popup ] || return 0
  for _ in $(seq 300); do
    [ "$(visible_windows)" -gt "$windows" ] && return 0
    sleep 0.1
  done
  fail "no drop-down list shown after '$3'"
  return 1
}

NORVANE_TRACE=1 "$BIN/norvane" >"$log" 2>&1 &
norvane=$!
window=
for _ in $(seq 600); do
  window=$(xdotool search --onlyvisible --name '^NORVANE$' 2>/dev/null | head -n 1)
  [ -n "$window" ] && break
  sleep 0.1
done
if [ -z "$window" ]; then
  cat "$log"
  fail "the window was not shown"
  exit 1
fi
# The window takes its layout's size once the skin is loaded.
for _ in $(seq 300); do
  eval "$(xdotool getwindowgeometry --shell "$window")"
  [ "$WIDTH" -eq 1000 ] && break
  sleep 0.1
done
pass "norvane shows its window on real devices (${WIDTH}x$HEIGHT)"
xdotool windowmove "$window" 0 0
eval "$(xdotool getwindowgeometry --shell "$window")"
wx=$X wy=$Y

plug || exit 1
if wait_lines "tile [0-9]* shown, [1-9]" 1; then pass "plugging the gadget shows the keyboard's tile"; else
  fail "no tile shown for the plugged keyboard"; fi
unplug
if wait_lines "tile [0-9]* hidden, 0 connected" 1; then pass "unplugging hides it"; else
  fail "the tile stayed after the unplug"; fi
shown=$(grep -c "tile [0-9]* shown, [1-9]" "$log")
plug || exit 1
if wait_lines "tile [0-9]* shown, [1-9]" $((shown + 1)); then pass "plugging again shows it again"; else
  fail "no tile after plugging again"; fi

# Key A (entry 64 of the key table) becomes a left click: the key tab, the key on the
# picture, the function family, the button, and the write to the device. The key panel lies
# in one row under the picture (y 568..596) in the 1000 x 640 window; lists drop below their
# combos.
before=$(keytable)
click 797 119 "selectchanged key_Op_tab" &&
  click 178 353 "click key_64" &&
  click 124 582 "dropdown keyset_function_combo" popup &&
  click 79 644 "itemselect keyset_function_combo" &&
  click 342 582 "dropdown keyset_mousekey_combo" popup &&
  click 300 614 "itemselect keyset_mousekey_combo" &&
  click 911 582 "click key_butt_prosave"
# The write goes out in several reports: the table once it has changed and holds still.
after=$before
for _ in $(seq 50); do
  sleep 0.2
  last=$after
  after=$(keytable)
  [ "$after" != "$before" ] && [ "$after" = "$last" ] && break
done
changed=$(diff <(echo "$before" | nl -v0) <(echo "$after" | nl -v0) | grep '^>' | awk '{ print $2 ": " $3, $4, $5 }')
if [ "$changed" = "64: 10 01 00" ]; then pass "the key set in the window reached the gadget's key table"; else
  fail "key table changes: '${changed:-none}' (want '64: 10 01 00')"; fi

if import -window "$window" "$OUT/vm_main_window_usb.png"; then pass "screenshot saved"; else
  fail "no screenshot"; fi

unplug
kill -TERM "$norvane"
for _ in $(seq 100); do kill -0 "$norvane" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$norvane" 2>/dev/null; then fail "still running 10 s after SIGTERM"; else
  wait "$norvane"
  status=$?
  norvane=
  if [ $status -eq 0 ]; then pass "SIGTERM ended it with 0"; else fail "SIGTERM ended it with $status"; fi
fi

echo "checks failed: $failures"
[ $failures -eq 0 ]
