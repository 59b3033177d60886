#!/usr/bin/env bash
# The ALSA audio library on a real kernel (Debian's full kernel under qemu): the kernel's
# dummy sound card, and qemu's USB audio device behind the USB audio driver, which the host
# unplugs (qemu monitor) when the scenario asks. tests/vm/audio_scenario.sh drives the library
# in the VM through norvane-audio-probe.
# usage: audio.sh PROBE WORK_DIR. Exit 77 (skipped) when the VM tools are not installed.
set -euo pipefail
probe=$1
work=$2
here=$(cd "$(dirname "$0")" && pwd)
kernel_found=$(ls /boot/vmlinuz-*-amd64 2>/dev/null | grep -v -- -cloud- || true)
if ! command -v qemu-system-x86_64 >/dev/null || ! command -v busybox >/dev/null || ! command -v cpio >/dev/null ||
   ! command -v python3 >/dev/null || [ -z "$kernel_found" ] || [ ! -f /usr/share/alsa/alsa.conf ]; then
  echo "skipped: needs qemu-system-x86, linux-image-amd64, busybox-static, cpio, python3 and libasound2-data"
  exit 77
fi
mkdir -p "$work"
monitor=$work/monitor.sock
log=$work/vm/serial.log
rm -f "$monitor"
bash "$here/vm-run.sh" --usb --work "$work/vm" --scenario "$here/audio_scenario.sh" --timeout 180 \
  --program "$probe" --module snd-dummy --module snd-usb-audio --module uhci_hcd --copy /usr/share/alsa/alsa.conf \
  --qemu-arg -usb --qemu-arg -audiodev --qemu-arg none,id=snd0 \
  --qemu-arg -device --qemu-arg usb-audio,audiodev=snd0,id=headset \
  --qemu-arg -monitor --qemu-arg "unix:$monitor,server=on,wait=off" &
vm=$!
# Unplugs the USB audio device once the scenario asks (at most as long as the VM may run).
for _ in $(seq 1800); do
  kill -0 $vm 2>/dev/null || break
  if [ -f "$log" ] && grep -q 'NORVANE-VM: unplug' "$log" && [ -S "$monitor" ]; then
    python3 - "$monitor" <<'PY'
import socket, sys, time
s = socket.socket(socket.AF_UNIX)
s.connect(sys.argv[1])
s.sendall(b"device_del headset\n")
time.sleep(0.5)
s.close()
PY
    break
  fi
  sleep 0.1
done
wait $vm
