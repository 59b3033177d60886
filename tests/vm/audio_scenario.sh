# Runs inside the VM (busybox sh), started by tests/vm/audio.sh: card 0 is the kernel's dummy
# card (capture and playback controls with a dB scale), the USB card is qemu's USB audio
# device. Prints "FAIL: …" for each failed check; "NORVANE-VM: unplug" asks the host to take
# the USB device away.
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

# The probe keeps one library open; ask sends a command and prints the probe's answer.
start_probe() {
  rm -f /tmp/probe.in
  mkfifo /tmp/probe.in
  norvane-audio-probe < /tmp/probe.in > /tmp/probe.out 2> /tmp/probe.err &
  probe=$!
  exec 4> /tmp/probe.in
}
ask() {
  before=$(wc -l < /tmp/probe.out)
  echo "$1" >&4
  for i in $(seq 100); do [ "$(wc -l < /tmp/probe.out)" -gt "$before" ] && break; sleep 0.05; done
  tail -n +$((before + 1)) /tmp/probe.out | head -n 1
}
expect() {
  got=$(ask "$1")
  if [ "$got" = "$2" ]; then pass "$1"; else fail "$1: got '$got', expected '$2'"; fi
}
# The card's control as another process reads it from the kernel.
expect_control() {
  got=$(echo "mixer $1 $2 $3" | norvane-audio-probe 2>/dev/null)
  if [ "$got" = "$4" ]; then pass "card $1 $2 $3: $4"; else fail "card $1 $2 $3: got '$got', expected '$4'"; fi
}
# stop_probe: the probe ends by itself on "quit" with status 0.
stop_probe() {
  kill -0 $probe 2>/dev/null && pass "probe still running" || fail "probe ended early"
  echo quit >&4
  exec 4>&-
  wait $probe
  code=$?
  [ $code -eq 0 ] && pass "probe quit" || { fail "probe exit $code"; cat /tmp/probe.err; }
}
# gone PATH: true once PATH has gone (up to 10 s).
gone() {
  for i in $(seq 100); do [ -e "$1" ] || return 0; sleep 0.1; done
  return 1
}

usb=""
for i in $(seq 100); do
  for c in /sys/class/sound/card*; do
    case $(readlink -f "$c/device") in */usb*) usb=${c#/sys/class/sound/card} ;; esac
  done
  [ -n "$usb" ] && break
  sleep 0.1
done
[ -n "$usb" ] || fail "no USB sound card"
[ -e /sys/class/sound/card0 ] || fail "no dummy card"

# The microphone on a card with capture controls: levels and mutes land in the card.
start_probe
expect "open-card 0" "devices 1 1 card 0"
# The dummy card starts with its capture switches off and its levels at 0 (raw).
expect_control 0 Mic capture "volume 0 range -50 100 switch 0"
expect "get rec MuteControl" "ok 1"
expect "set rec MuteControl int 0" "ok"
expect "set rec VolumeScalarControl float 1 -1" "ok"
expect_control 0 Mic capture "volume 100 range -50 100 switch 1"
expect "get rec VolumeScalarControl -1" "ok 1"
expect "set rec VolumeScalarControl float 0 -1" "ok"
expect_control 0 Mic capture "volume -50 range -50 100 switch 1"
expect "set rec VolumeScalarControl float 0.5 -1" "ok"
expect_control 0 Mic capture "volume 25 range -50 100 switch 1"
expect "get rec VolumeScalarControl -1" "ok 0.5"
expect "get rec VolumeControl -1" "ok -2250"
expect "get rec GetMaxVol" "ok 0"
expect "get rec GetMinVol" "ok -4500"
expect "get rec GetVolStep" "ok 30"
expect "set rec VolumeControl int -1500 -1" "ok"
expect_control 0 Mic capture "volume 50 range -50 100 switch 1"
expect "set rec MuteControl int 1" "ok"
expect_control 0 Mic capture "volume 50 range -50 100 switch 0"
expect "get rec MuteControl" "ok 1"
expect "set rec MuteControl int 0" "ok"
expect_control 0 Mic capture "volume 50 range -50 100 switch 1"
expect "get rec MuteControl" "ok 0"
# What this card or this machine cannot do fails.
expect "get rec AAVolumeScalarControl 0" "fail 1"
expect "set rec AAMuteControl int 1" "fail 1"
expect "set rec Enable_MAGICVOICE int 1" "fail 1"
expect "set play EQ_Slider1 int 4" "fail 1"
expect "get rec GetSupportFeature" "ok 1,0,0,0,0,0,0"
# The card goes away while the library has it open: calls fail, nothing hangs. The unbind
# ends once the probe lets go of the card.
echo snd_dummy.0 > /sys/bus/platform/drivers/snd_dummy/unbind &
unbind=$!
gone /sys/class/sound/controlC0 || fail "dummy card still there"
expect "set rec MuteControl int 1" "fail 4"
expect "get rec VolumeScalarControl -1" "fail 4"
expect "get rec GetMaxVol" "fail 4"
stop_probe
for i in $(seq 50); do kill -0 $unbind 2>/dev/null || break; sleep 0.1; done
kill -0 $unbind 2>/dev/null && fail "dummy card not released" || pass "dummy card released"

# The headset's USB card found by its USB identity; a speaker without capture controls lists
# no recording device. Then it is unplugged while open.
vid=$(cat /sys/class/sound/card$usb/device/../idVendor)
pid=$(cat /sys/class/sound/card$usb/device/../idProduct)
start_probe
expect "open ffff ffff" "devices 0 0 card -"
expect "open $vid $pid" "devices 1 0 card $usb"
expect "get rec MuteControl" "fail 2"
expect "get play GetSupportFeature" "ok 0,0,0,0,0,0,0"
echo "NORVANE-VM: unplug"
gone /sys/class/sound/controlC$usb && pass "USB card unplugged" || fail "USB card still there"
expect "get play GetSupportFeature" "ok 0,0,0,0,0,0,0"
expect "set play Enable_EQ_GFX int 1" "fail 1"
expect "open $vid $pid" "devices 0 0 card -"
stop_probe

echo "checks failed: $failures"
[ $failures -eq 0 ]
