#!/usr/bin/env bash
# Boots the installed cloud kernel in qemu with a busybox initramfs holding the HID
# modules and the given programs, runs a scenario script inside and reports its
# result through the serial console. With --usb it boots Debian's full kernel instead,
# with the USB HID driver and the gadget stack (dummy_hcd with 8 controllers,
# libcomposite, usb_f_hid, configfs mounted), so programs can make USB HID devices.
#
# With --hostroot (implies --usb) the VM runs the host's own system instead of a few copied
# programs: the host's / shared read-only over 9p under a tmpfs overlay, proc/sys/dev/tmp/run and
# configfs mounted inside, the scenario run with bash in a chroot there; the folder given by
# --share (default: the work folder) is shared writable at its host path to carry results back.
#
# --module adds a kernel module (with the modules it needs) to those loaded at boot; --copy puts
# a file or folder of the host at the same path in the VM; --qemu-arg is handed to qemu.
#
# usage: vm-run.sh --work DIR --scenario FILE [--usb | --hostroot [--share DIR]] [--program PATH]...
#                  [--module NAME]... [--copy PATH]... [--qemu-arg ARG]... [--memory MB]
#                  [--timeout SECONDS]
# Exit status: the scenario's, 124 on timeout, 2 when the tools are missing.
set -euo pipefail

work="" scenario="" timeout_s=300 programs=() usb=no hostroot=no share="" memory=512 extra_modules=() copies=()
qemu_args=()
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
    --hostroot) hostroot=yes usb=yes; shift ;;
    --share) share=$2; shift 2 ;;
    --memory) memory=$2; shift 2 ;;
    *) echo "vm-run: unknown argument $1" >&2; exit 2 ;;
  esac
done
[ -n "$work" ] && [ -f "$scenario" ] || { echo "vm-run: --work and --scenario are required" >&2; exit 2; }

if [ $usb = yes ]; then
  kernel=$(ls -1 /boot/vmlinuz-*-amd64 2>/dev/null | grep -v -- -cloud- | sort -V | tail -n 1 || true)
  image=linux-image-amd64
  modules="hid uhid hid-generic usbhid dummy_hcd libcomposite usb_f_hid usb_f_ss_lb"
  [ $hostroot = no ] || modules="virtio_pci 9pnet_virtio 9p overlay $modules"
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
              readlink find timeout printf uname dmesg sync seq mkfifo awk sort cut tr diff rm od chroot cp; do
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
for program in ${programs[@]+"${programs[@]}"}; do
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

if [ $hostroot = yes ]; then
  share=$(cd "${share:-$work}" && pwd)
  case "$share" in *,*) echo "vm-run: qemu cannot share a folder with a comma in its path: $share" >&2; exit 2 ;; esac
  echo "$share" > "$root/share-path"
  qemu_args+=(-virtfs "local,path=/,mount_tag=hostroot,security_model=none,readonly=on,multidevs=remap"
              -virtfs "local,path=$share,mount_tag=results,security_model=none,multidevs=remap")
  memory=$((memory < 1024 ? 1024 : memory))
  # The host's system read-only with a tmpfs on top; the scenario runs there with the host's bash.
  cat > "$root/enter" <<'ENTER'
mount -t 9p -o trans=virtio,version=9p2000.L,ro,msize=262144 hostroot /lower || exit 1
mount -t tmpfs tmpfs /upper && mkdir -p /upper/data /upper/work || exit 1
mount -t overlay overlay -o lowerdir=/lower,upperdir=/upper/data,workdir=/upper/work /newroot || exit 1
mount -t proc proc /newroot/proc
mount -t sysfs sysfs /newroot/sys
mount -t devtmpfs devtmpfs /newroot/dev
mkdir -p /newroot/dev/pts /newroot/dev/shm
mount -t devpts devpts /newroot/dev/pts
ln -s /proc/self/fd /newroot/dev/fd
mount -t tmpfs tmpfs /newroot/dev/shm
mount -t tmpfs tmpfs /newroot/tmp
mount -t tmpfs tmpfs /newroot/run
if [ -d /sys/kernel/config ]; then mount -t configfs configfs /newroot/sys/kernel/config; fi
share=$(cat /share-path)
mkdir -p "/newroot$share"
mount -t 9p -o trans=virtio,version=9p2000.L,msize=262144 results "/newroot$share" || exit 1
cp /scenario.sh /newroot/run/scenario.sh
ENTER
  path=/usr/local/bin:/usr/bin:/bin:/usr/sbin:/sbin
  run_scenario="sh /enter && chroot /newroot /usr/bin/env -i PATH=$path HOME=/root /bin/bash /run/scenario.sh"
  mkdir -p "$root"/{lower,upper,newroot}
else
  run_scenario='sh /scenario.sh'
fi
echo "$run_scenario" > "$root/start"

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
sh /start
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
timeout "$timeout_s" qemu-system-x86_64 -accel "$accel" -m "$memory" -smp 1 -nographic -no-reboot \
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
