#!/usr/bin/env bash
# Boots the installed cloud kernel in qemu with a busybox initramfs holding the HID
# modules and the given programs, runs a scenario script inside and reports its
# result through the serial console. With --usb it boots Debian's full kernel instead,
# with the USB HID driver and the gadget stack (dummy_hcd with 8 controllers,
# libcomposite, usb_f_hid, configfs mounted), so programs can make USB HID devices.
#
# --module adds a kernel module (with the modules it needs) to those loaded at boot; --copy puts
# a file or folder of the host at the same path in the VM; --qemu-arg is handed to qemu.
#
# usage: vm-run.sh --work DIR --scenario FILE [--usb] [--program PATH]... [--module NAME]...
#                  [--copy PATH]... [--qemu-arg ARG]... [--timeout SECONDS]
# Exit status: the scenario's, 124 on timeout, 2 when the tools are missing.
set -euo pipefail

work="" scenario="" timeout_s=300 programs=() usb=no extra_modules=() copies=() qemu_args=()
while [ $# -gt 0 ]; do
  case "$1" in
    --work) work=$2; shift 2 ;;
    --scenario) scenario=$2; shift 2 ;;
    --program) programs+=("$2"); shift 2 ;;
    --module) extra_modules+=("$2"); shift 2 ;;
    --copy) copies+=("$2"); shift 2 ;;
    --qemu-arg) qemu_args+=("$2"); shift 2 ;;
    --timeout) timeout_s=$2; shift 2 ;;
    --usb) usb=yes; shift ;;
    *) echo "vm-run: unknown argument $1" >&2; exit 2 ;;
  esac
done
[ -n "$work" ] && [ -f "$scenario" ] || { echo "vm-run: --work and --scenario are required" >&2; exit 2; }

if [ $usb = yes ]; then
  kernel=$(ls -1 /boot/vmlinuz-*-amd64 2>/dev/null | grep -v -- -cloud- | sort -V | tail -n 1 || true)
  image=linux-image-amd64
  modules="hid uhid hid-generic usbhid dummy_hcd libcomposite usb_f_hid usb_f_ss_lb"
else
  kernel=$(ls -1 /boot/vmlinuz-*-cloud-amd64 2>/dev/null | sort -V | tail -n 1 || true)
  image=linux-image-cloud-amd64
  modules="hid uhid hid-generic"
fi
busybox=$(command -v busybox || true)
if [ -z "$kernel" ] || [ -z "$busybox" ] || ! command -v qemu-system-x86_64 >/dev/null || ! command -v cpio >/dev/null; then
  echo "vm-run: needs qemu-system-x86, $image, busybox-static and cpio" >&2
  exit 2
fi
release=${kernel#/boot/vmlinuz-}

rm -rf "$work"
root="$work/root"
mkdir -p "$root"/{bin,sbin,dev,proc,sys,tmp,run,lib/modules,usr/bin}
cp "$busybox" "$root/bin/busybox"
for applet in sh mount insmod mkdir cat echo ls sleep poweroff grep sed head tail kill wc test dd mknod \
              readlink find timeout printf uname dmesg sync seq mkfifo awk sort cut tr diff rm od; do
  ln -sf busybox "$root/bin/$applet"
done

# Each module after the modules it depends on, in the order init loads them.
loaded=" "
add_module() {
  local module=$1 dep path
  case "$loaded" in *" $module "*) return 0 ;; esac
  for dep in $(modinfo -k "$release" -F depends "$module" | tr ',' ' '); do
    add_module "$dep"
  done
  path=$(modinfo -k "$release" -n "$module")
  case "$path" in
    *.ko) cp "$path" "$root/lib/modules/$module.ko" ;;
    *.ko.xz) xz -dc "$path" > "$root/lib/modules/$module.ko" ;;
    *.ko.zst) zstd -qdc "$path" > "$root/lib/modules/$module.ko" ;;
    *) echo "vm-run: cannot load module $module from $path" >&2; exit 2 ;;
  esac
  loaded="$loaded$module "
  case "$module" in
    dummy_hcd) echo "$module num=8" ;;
    *) echo "$module" ;;
  esac >> "$root/lib/modules/order"
}
: > "$root/lib/modules/order"
for module in $modules ${extra_modules[@]+"${extra_modules[@]}"}; do
  add_module "$module"
done

# Programs with the shared libraries they load, at the same paths.
copy_with_path() {
  local src=$1
  mkdir -p "$root$(dirname "$src")"
  cp -L "$src" "$root$src"
}
for program in "${programs[@]}"; do
  cp "$program" "$root/usr/bin/"
  for lib in $(ldd "$program" | grep -oE '/[^ ]+' | sort -u); do
    copy_with_path "$lib"
  done
done
for copy in ${copies[@]+"${copies[@]}"}; do
  mkdir -p "$root$(dirname "$copy")"
  cp -rL "$copy" "$root$copy"
done
cp "$scenario" "$root/scenario.sh"

cat > "$root/init" <<'INIT'
#!/bin/sh
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
mount -t tmpfs tmpfs /tmp
while read -r m args; do insmod /lib/modules/$m.ko $args || echo "insmod $m failed"; done < /lib/modules/order
if [ -d /sys/kernel/config ]; then mount -t configfs configfs /sys/kernel/config; fi
export PATH=/usr/bin:/bin HOME=/tmp
echo "NORVANE-VM: scenario start"
sh /scenario.sh
rc=$?
echo "NORVANE-VM-RESULT: $rc"
sync
poweroff -f
INIT
chmod +x "$root/init"

(cd "$root" && find . | cpio -o -H newc --quiet | gzip -1) > "$work/initramfs.cpio.gz"

# TCG boots this kernel in a few seconds; KVM inside another VM can be far slower,
# so it is used only when asked for.
accel=${NORVANE_VM_ACCEL:-tcg}
log="$work/serial.log"
echo "vm-run: booting $release ($accel)" >&2
set +e
timeout "$timeout_s" qemu-system-x86_64 -accel "$accel" -m 512 -smp 1 -nographic -no-reboot \
  -net none -kernel "$kernel" -initrd "$work/initramfs.cpio.gz" \
  -append "console=ttyS0 panic=-1 quiet loglevel=3" ${qemu_args[@]+"${qemu_args[@]}"} </dev/null >"$log" 2>&1
status=$?
set -e
tr -d '\r' < "$log" | sed -n '/NORVANE-VM: scenario start/,$p'
if [ $status -eq 124 ]; then
  echo "vm-run: timed out after ${timeout_s}s; serial log: $log" >&2
  exit 124
fi
result=$(tr -d '\r' < "$log" | sed -n 's/^NORVANE-VM-RESULT: \([0-9]*\).*/\1/p' | tail -n 1)
if [ -z "$result" ]; then
  echo "vm-run: no result from the VM; serial log: $log" >&2
  exit 1
fi
exit "$result"
