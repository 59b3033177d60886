# Runs inside the VM (busybox sh). Expected outputs lie in /expected, made on the host
# from the in-process simulator. Prints "FAIL: …" for each failed check.
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

mkfifo /tmp/sim.ctl
norvane-uhid-sim keyboard mouse receiver mousepad headset < /tmp/sim.ctl > /tmp/sim.out 2>&1 &
sim=$!
exec 3> /tmp/sim.ctl
for i in $(seq 50); do grep -q '^ready' /tmp/sim.out && break; sleep 0.1; done
grep -q '^ready' /tmp/sim.out || { cat /tmp/sim.out; fail "simulator did not start"; exit 1; }
sleep 0.5   # the kernel creates the hidraw nodes

# Exactly the catalogue rows, with kinds, roles, interface and collection numbers.
norvane-ctl list | tail -n +2 | awk '{ i = index($7, "#"); print $1, $2, $3, $4, substr($7, i) }' | sort -n > /tmp/list
if diff /expected/list /tmp/list; then pass "list"; else fail "list"; fi

# Decoded device data equals what the in-process simulator gives.
check() {
  name=$1; shift
  norvane-ctl "$@" > /tmp/out 2>&1
  grep -v '^path:' /tmp/out | sed 's/, version [0-9a-f]*)/)/' > /tmp/got
  if diff "/expected/$name" /tmp/got; then pass "$name"; else fail "$name"; fi
}
check info-keyboard info keyboard
check info-receiver info receiver
check settings-keyboard settings keyboard
check settings-mouse settings mouse
check status-mousepad status mousepad

# A key-table write reaches the firmware model's memory.
norvane-ctl set-key keyboard 5 020004 || fail "set-key"
echo "dump keyboard keytable" >&3
sleep 0.3
got=$(grep '^dump' /tmp/sim.out | tail -n 1 | cut -d' ' -f17-19)
if [ "$got" = "02 00 04" ]; then pass "key table write"; else fail "key table write: bytes 15-17 are '$got'"; fi

# Events arrive; unplugging ends a read that waits without limit, and the probe fails.
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
norvane-ctl info keyboard > /dev/null 2>&1 && pass "keyboard still answers" || fail "keyboard lost"

echo "quit" >&3
wait $sim
echo "checks failed: $failures"
[ $failures -eq 0 ]
