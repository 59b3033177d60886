#!/usr/bin/env bash
# End-to-end test on a real kernel: the hidraw backend against uhid devices in a VM.
# usage: e2e.sh BIN_DIR WORK_DIR. Exit 77 (skipped) when the VM tools are not installed.
set -euo pipefail
bin=$1
work=$2
here=$(cd "$(dirname "$0")" && pwd)
if ! command -v qemu-system-x86_64 >/dev/null || ! command -v busybox >/dev/null || ! command -v cpio >/dev/null ||
   ! ls /boot/vmlinuz-*-cloud-amd64 >/dev/null 2>&1; then
  echo "skipped: needs qemu-system-x86, linux-image-cloud-amd64, busybox-static and cpio"
  exit 77
fi
mkdir -p "$work"
scenario="$work/scenario.sh"
products=keyboard,mouse,receiver,mousepad,headset
expect() {
  "$bin/norvane-ctl" --simulate=$products "$@" | grep -v '^path:' | sed 's/, version [0-9a-f]*)/)/'
}
{
  echo "mkdir -p /expected"
  emit() { echo "cat > /expected/$1 <<'NORVANE_EXPECTED'"; cat; echo "NORVANE_EXPECTED"; }
  emit list <<'LIST'
0 keyboard keyboard command #vid_320f&pid_50b7&mi_01&col04
1 keyboard keyboard event #vid_320f&pid_50b7&mi_01&col03
4 mouse mouse-cable command #vid_320f&pid_221c&mi_01&col04
5 mouse mouse-cable event #vid_320f&pid_221c&mi_01&col03
6 receiver mouse-receiver command #vid_320f&pid_221d&mi_01&col04
7 receiver mouse-receiver event #vid_320f&pid_221d&mi_01&col03
8 mousepad mousepad command #vid_320f&pid_1004&mi_01&col04
9 mousepad mousepad event #vid_320f&pid_1004&mi_01&col03
10 headset headset command #vid_0c76&pid_1630&mi_03
LIST
  expect info keyboard | emit info-keyboard
  expect info receiver | emit info-receiver
  expect settings keyboard | emit settings-keyboard
  expect settings mouse | emit settings-mouse
  expect status mousepad | emit status-mousepad
  cat "$here/scenario.sh"
} > "$scenario"
exec bash "$here/vm-run.sh" --work "$work/vm" --scenario "$scenario" --timeout 240 \
  --program "$bin/norvane-ctl" --program "$bin/norvane-uhid-sim"
