#!/usr/bin/env bash
# End-to-end test on a real kernel: the hidraw backend in a VM against the simulated
# products as uhid devices (cloud kernel), or as USB devices of the kernel's gadget stack
# reached through usbhid (full kernel).
# usage: e2e.sh BIN_DIR WORK_DIR [uhid|usb]. Exit 77 (skipped) when the VM tools are not
# installed.
set -euo pipefail
bin=$1
work=$2
substrate=${3:-uhid}
here=$(cd "$(dirname "$0")" && pwd)
if [ "$substrate" = usb ]; then
  image=linux-image-amd64
  kernel_found=$(ls /boot/vmlinuz-*-amd64 2>/dev/null | grep -v -- -cloud- || true)
  # The kernel has four /dev/hidgN: the products come up in rounds of at most four HID
  # interfaces.
  rounds="keyboard,mousepad,headset mouse,receiver"
  vm_flags=(--usb)
  sim_flags=--usb
else
  image=linux-image-cloud-amd64
  kernel_found=$(ls /boot/vmlinuz-*-cloud-amd64 2>/dev/null || true)
  rounds="keyboard,mouse,receiver,mousepad,headset"
  vm_flags=()
  sim_flags=
fi
if ! command -v qemu-system-x86_64 >/dev/null || ! command -v busybox >/dev/null || ! command -v cpio >/dev/null ||
   [ -z "$kernel_found" ]; then
  echo "skipped: needs qemu-system-x86, $image, busybox-static and cpio"
  exit 77
fi
mkdir -p "$work"
scenario="$work/scenario.sh"
products=keyboard,mouse,receiver,mousepad,headset
expect() {
  "$bin/norvane-ctl" --simulate=$products "$@" | grep -v '^path:' | sed 's/, version [0-9a-f]*)/)/'
}
{
  echo "SIM_FLAGS='$sim_flags'"
  echo "ROUNDS='$rounds'"
  echo "mkdir -p /expected"
  emit() { echo "cat > /expected/$1 <<'NORVANE_EXPECTED'"; cat; echo "NORVANE_EXPECTED"; }
  # A uhid device has no USB parent to give its release number; a USB one gives bcdDevice.
  if [ "$substrate" = usb ]; then kb=0102 ms=0203 rc=0110 pad=0100 hs=0100; else kb=0000 ms=0000 rc=0000 pad=0000 hs=0000; fi
  emit list <<LIST
0 keyboard keyboard command $kb #vid_320f&pid_50b7&mi_01&col04
1 keyboard keyboard event $kb #vid_320f&pid_50b7&mi_01&col03
4 mouse mouse-cable command $ms #vid_320f&pid_221c&mi_01&col04
5 mouse mouse-cable event $ms #vid_320f&pid_221c&mi_01&col03
6 receiver mouse-receiver command $rc #vid_320f&pid_221d&mi_01&col04
7 receiver mouse-receiver event $rc #vid_320f&pid_221d&mi_01&col03
8 mousepad mousepad command $pad #vid_320f&pid_1004&mi_01&col04
9 mousepad mousepad event $pad #vid_320f&pid_1004&mi_01&col03
10 headset headset command $hs #vid_0c76&pid_1630&mi_03
LIST
  expect info keyboard | emit info-keyboard
  expect info receiver | emit info-receiver
  expect settings keyboard | emit settings-keyboard
  expect settings mouse | emit settings-mouse
  expect status mousepad | emit status-mousepad
  cat "$here/scenario.sh"
} > "$scenario"
exec bash "$here/vm-run.sh" "${vm_flags[@]}" --work "$work/vm" --scenario "$scenario" --timeout 240 \
  --program "$bin/norvane-ctl" --program "$bin/norvane-uhid-sim"
