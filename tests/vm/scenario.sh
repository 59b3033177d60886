# Runs inside the VM (busybox sh). Expected outputs lie in /expected, made on the host
# from the in-process simulator; SIM_FLAGS and ROUNDS are set above by e2e.sh: each round
# (products joined by commas) runs under one simulator. Prints "FAIL: …" for each failed
# check.
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

# Command-collection and event-collection rows each product has in the list.
rows() { case $1 in headset) echo 1 ;; *) echo 2 ;; esac; }

# start_sim ROWS PRODUCT...: the simulator up and ROWS list rows there.
start_sim() {
  want=$1; shift
  rm -f /tmp/sim.ctl
  mkfifo /tmp/sim.ctl
  norvane-uhid-sim $SIM_FLAGS "$@" < /tmp/sim.ctl > /tmp/sim.out 2>&1 &
  sim=$!
  exec 3> /tmp/sim.ctl
  for i in $(seq 300); do grep -q '^ready' /tmp/sim.out && break; sleep 0.1; done
  grep -q '^ready' /tmp/sim.out || { cat /tmp/sim.out; fail "simulator did not start ($*)"; return 1; }
  # The kernel creates the hidraw nodes.
  for i in $(seq 150); do
    [ "$(norvane-ctl list 2>/dev/null | tail -n +2 | wc -l)" -ge "$want" ] && return 0
    sleep 0.1
  done
  fail "only $(norvane-ctl list 2>/dev/null | tail -n +2 | wc -l) of $want rows listed ($*)"
}

stop_sim() {
  echo "quit" >&3
  exec 3>&-
  wait $sim
}

# ask LINE: sends a command to the simulator and prints its next reply.
ask() {
  before=$(wc -l < /tmp/sim.out)
  echo "$1" >&3
  for i in $(seq 50); do [ "$(wc -l < /tmp/sim.out)" -gt "$before" ] && break; sleep 0.1; done
  tail -n +$((before + 1)) /tmp/sim.out | head -n 1
}

# Decoded device data equals what the in-process simulator gives.
check() {
  name=$1; shift
  norvane-ctl "$@" > /tmp/out 2>&1
  grep -v '^path:' /tmp/out | sed 's/, version [0-9a-f]*)/)/' > /tmp/got
  if diff "/expected/$name" /tmp/got; then pass "$name"; else fail "$name"; fi
}

check_keyboard() {
  check info-keyboard info keyboard
  check settings-keyboard settings keyboard
  # A key-table write reaches the firmware model's memory.
  norvane-ctl set-key keyboard 5 020004 || fail "set-key"
  got=$(ask "dump keyboard keytable" | cut -d' ' -f17-19)
  if [ "$got" = "02 00 04" ]; then pass "key table write"; else fail "key table write: bytes 15-17 are '$got'"; fi
}

check_mousepad() { check status-mousepad status mousepad; }

check_receiver() { check info-receiver info receiver; }

# The headset's LED output report reaches the device byte for byte.
check_headset() {
  node=$(norvane-ctl list | awk '$2 == "headset" { print $7 }' | cut -d'#' -f1)
  printf '\377\042\252\001\002\003\004\005\006\007\010\011\012\013\014\015\016' > /tmp/led
  dd if=/tmp/led of="$node" bs=17 count=1 2>/dev/null || fail "output report not written to '$node'"
  sleep 0.3
  got=$(ask "dump headset output")
  if [ "$got" = "dump ff 22 aa 01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e" ]; then pass "headset output report"; else
    fail "headset output report: '$got'"; fi
}

# Events arrive; unplugging ends a read that waits without limit, and the probe fails.
check_mouse() {
  check settings-mouse settings mouse
  norvane-ctl events mouse > /tmp/events 2>&1 &
  reader=$!
  for i in $(seq 50); do grep -q listening /tmp/events && break; sleep 0.1; done
  echo "event mouse 0x401" >&3
  for i in $(seq 50); do grep -q 'event 0401' /tmp/events && break; sleep 0.1; done
  grep -q 'event 0401' /tmp/events && pass "event" || fail "event not received"
  echo "unplug mouse" >&3
  ended=no
  for i in $(seq 30); do
    if ! kill -0 $reader 2>/dev/null; then ended=yes; break; fi
    sleep 0.1
  done
  if [ $ended = yes ] && grep -q 'was removed' /tmp/events; then pass "blocked read ends on unplug"; else
    fail "blocked read still waiting 3 s after unplug"; kill $reader; fi
  norvane-ctl info mouse > /tmp/out 2>&1
  code=$?
  if [ $code -eq 3 ]; then pass "unplugged mouse is gone"; else fail "info mouse after unplug: exit $code"; fi
}

: > /tmp/list
for round in $ROUNDS; do
  products=$(echo "$round" | tr ',' ' ')
  want=0
  for p in $products; do want=$((want + $(rows $p))); done
  start_sim $want $products || { stop_sim; continue; }
  # Exactly the catalogue rows, with kinds, roles, versions, interface and collection numbers.
  norvane-ctl list | tail -n +2 | awk '{ i = index($7, "#"); print $1, $2, $3, $4, $5, substr($7, i) }' >> /tmp/list
  for p in $products; do check_$p; done
  # Whatever was unplugged, the others still answer.
  for p in $products; do
    [ $p = mouse ] && continue
    norvane-ctl info $p > /dev/null 2>&1 && pass "$p still answers" || fail "$p lost"
  done
  stop_sim
done
sort -n /tmp/list > /tmp/list.sorted
if diff /expected/list /tmp/list.sorted; then pass "list"; else fail "list"; fi

echo "checks failed: $failures"
[ $failures -eq 0 ]
