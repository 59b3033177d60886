#!/usr/bin/env bash
# The whole program on a real kernel: Debian's full kernel in qemu running the host's own
# system (vm-run.sh --hostroot), norvane from the build tree under Xvfb, the keyboard a USB
# gadget behind usbhid. tests/vm/window_scenario.sh runs in the VM; its logs and the
# screenshot come back through the shared folder WORK_DIR/out, the screenshot to SHOTS_DIR.
# usage: window.sh BIN_DIR WORK_DIR SHOTS_DIR. Exit 77 (skipped) when the tools are not installed.
set -euo pipefail
bin=$1
work=$2
shots=$3
here=$(cd "$(dirname "$0")" && pwd)
kernel_found=$(ls /boot/vmlinuz-*-amd64 2>/dev/null | grep -v -- -cloud- || true)
missing=$([ -n "$kernel_found" ] || echo kernel)
for tool in qemu-system-x86_64 busybox cpio Xvfb xdotool dbus-run-session import; do
  command -v $tool >/dev/null || missing=$tool
done
if [ -n "$missing" ]; then
  echo "skipped: needs qemu-system-x86, linux-image-amd64, busybox-static, cpio, xvfb, xdotool, dbus and imagemagick"
  exit 77
fi
mkdir -p "$work"
work=$(cd "$work" && pwd)
rm -rf "$work/out"
mkdir -p "$work/out"
{
  echo "BIN='$(cd "$bin" && pwd)'"
  echo "OUT='$work/out'"
  cat "$here/window_scenario.sh"
} >"$work/scenario.sh"
set +e
bash "$here/vm-run.sh" --hostroot --share "$work/out" --work "$work/vm" --scenario "$work/scenario.sh" \
  --memory 1024 --timeout 240
status=$?
set -e
if [ -f "$work/out/vm_main_window_usb.png" ]; then
  mkdir -p "$shots"
  cp "$work/out/vm_main_window_usb.png" "$shots/"
fi
[ $status -eq 0 ] || echo "window.sh: logs in $work/out" >&2
exit $status
