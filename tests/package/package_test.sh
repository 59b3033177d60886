#!/usr/bin/env bash
# Builds the .deb, unpacks it into a temporary root without installing it, and checks that
# the unpacked programs run and find their data there, that the desktop files validate and
# that the maintainer scripts survive a machine without udevd.
set -euo pipefail

tmp=$(mktemp -d "${TMPDIR:-/tmp}/norvane-package-XXXXXX")
trap 'rm -rf "$tmp"' EXIT
trap 'echo "FAIL: line $LINENO: $BASH_COMMAND" >&2' ERR
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# cpack packs what is built: bring the build up to date first (nothing to do after ./test's build).
if ! "$CMAKE" --build "$BUILD_DIR" >"$tmp/build.log" 2>&1; then
  cat "$tmp/build.log" >&2
  echo "FAIL: build" >&2
  exit 1
fi
if ! (cd "$BUILD_DIR" && "$CPACK" -G DEB -B "$tmp/out") >"$tmp/cpack.log" 2>&1; then
  cat "$tmp/cpack.log" >&2
  echo "FAIL: cpack -G DEB" >&2
  exit 1
fi
debs=("$tmp"/out/norvane_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "FAIL: expected one package, found: ${debs[*]}" >&2; exit 1; }
deb=${debs[0]}
echo "package: $(basename "$deb")"

# Control fields: the version is the project's, the dependencies come from the binaries.
[ "$(dpkg-deb -f "$deb" Package)" = norvane ] || fail "package name"
[[ "$(dpkg-deb -f "$deb" Version)" == "$VERSION"-* ]] || fail "version $(dpkg-deb -f "$deb" Version) is not $VERSION-*"
depends=$(dpkg-deb -f "$deb" Depends)
echo "depends: $depends"
root=$tmp/root
dpkg -x "$deb" "$root"
dpkg-deb -e "$deb" "$tmp/control"
depends_names=$(tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/[ (].*//')
# The headset's audio goes through alsa-lib.
grep -qxF libasound2 <<<"$depends_names" || fail "libasound2 not in Depends"
# libcurl is loaded on the first update check, not linked.
grep -qxF libcurl4 <<<"$depends_names" || fail "libcurl4 not in Depends"
# Modules loaded at run time are not seen in the binaries: the equaliser's filter chain.
recommends=$(dpkg-deb -f "$deb" Recommends)
echo "recommends: $recommends"
tr ',' '\n' <<<"$recommends" | sed 's/^ *//; s/[ (].*//' | grep -qxF libpipewire-0.3-modules ||
  fail "libpipewire-0.3-modules not in Recommends"
# Every shared library a program needs belongs to a package the control file names.
for exe in "$root"/usr/bin/* "$root"/usr/libexec/*; do
  for lib in $(objdump -p "$exe" | awk '/NEEDED/ {print $2}'); do
    # ldd prints "lib => path", or just the path for the dynamic loader.
    path=$(ldd "$exe" | awk -v lib="$lib" '!seen && $1 == lib {print $3; seen = 1}
      !seen && substr($1, length($1) - length(lib)) == "/" lib {print $1; seen = 1}')
    owner=$( (dpkg -S "$path" || dpkg -S "$(readlink -f "$path")") 2>/dev/null | awk -F: 'NR == 1 {print $1}')
    grep -qxF "$owner" <<<"$depends_names" || fail "$(basename "$exe") needs $lib (${owner:-no package}), not in Depends"
  done
done
if dpkg-deb -c "$deb" | awk '{print $2}' | grep -v '^root/root$' >/dev/null; then
  fail "files not owned by root: $(dpkg-deb -c "$deb" | grep -v ' root/root ' | head -n3)"
fi

# Contents.
for file in usr/bin/norvane usr/bin/norvane-ctl usr/bin/norvane-uhid-sim usr/libexec/norvane-audio-capture \
  usr/lib/udev/rules.d/70-norvane.rules \
  usr/share/applications/org.norvane.Norvane.desktop \
  usr/share/metainfo/org.norvane.Norvane.metainfo.xml \
  usr/share/icons/hicolor/scalable/apps/norvane.svg \
  usr/share/icons/hicolor/48x48/apps/norvane.png usr/share/icons/hicolor/256x256/apps/norvane.png \
  usr/share/man/man1/norvane.1.gz usr/share/man/man1/norvane-ctl.1.gz usr/share/man/man1/norvane-uhid-sim.1.gz; do
  [ -f "$root/$file" ] || fail "missing $file"
done
for folder in "$SOURCE_DIR"/resources/{skin,DefaultData,Font,SDK,Update}; do
  [ -d "$folder" ] || continue
  diff -r "$folder" "$root/usr/share/norvane/$(basename "$folder")" >/dev/null ||
    fail "usr/share/norvane/$(basename "$folder") differs from the source"
done
cmp -s "$SOURCE_DIR/resources/packaging/70-norvane.rules" "$root/usr/lib/udev/rules.d/70-norvane.rules" ||
  fail "udev rule differs from the source"
for size in 16 24 32 48 64 128 256; do
  png="$root/usr/share/icons/hicolor/${size}x${size}/apps/norvane.png"
  file -b "$png" | grep -q "PNG image data, $size x $size" || fail "icon $size: $(file -b "$png")"
done

# The unpacked programs run from the temporary root, with their data found there.
export HOME=$tmp/home XDG_CONFIG_HOME=$tmp/home/.config XDG_DATA_HOME=$tmp/home/.local/share
unset NORVANE_DATA_HOME
out=$("$root/usr/bin/norvane" --version) || fail "norvane --version exited $?"
[ "$out" = "norvane $VERSION" ] || fail "norvane --version printed '$out'"
# The window opens offscreen against a simulated keyboard and closes itself; a private runtime
# folder and no session bus keep it apart from any copy running on this machine.
mkdir -p -m 700 "$tmp/run"
out=$(env -u DBUS_SESSION_BUS_ADDRESS QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$tmp/run" \
  "$root/usr/bin/norvane" --simulate=keyboard --quit-after 500) || fail "norvane exited $?"
grep -qxF "program folder: $root/usr/share/norvane" <<<"$out" || fail "norvane printed: $out"
list=$("$root/usr/bin/norvane-ctl" --simulate list) || fail "norvane-ctl --simulate list exited $?"
echo "$list"
for product in keyboard mouse mousepad headset; do
  grep -qE "^[0-9]+ +$product +" <<<"$list" || fail "norvane-ctl --simulate list shows no $product"
done
[ "$list" = "$("$BUILD_DIR/bin/norvane-ctl" --simulate list)" ] || fail "installed and built norvane-ctl list differ"

# Desktop entry, metainfo and icon agree with each other and validate.
desktop=$root/usr/share/applications/org.norvane.Norvane.desktop
metainfo=$root/usr/share/metainfo/org.norvane.Norvane.metainfo.xml
desktop-file-validate "$desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net --strict "$metainfo" || fail "appstreamcli validate"
grep -qF '<launchable type="desktop-id">org.norvane.Norvane.desktop</launchable>' "$metainfo" ||
  fail "metainfo does not launch the desktop entry"
grep -qF "<release version=\"$VERSION\"" "$metainfo" || fail "metainfo release is not $VERSION"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ -f "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "desktop icon '$icon' not installed"
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[ -x "$root/usr/bin/$exec_name" ] || fail "desktop Exec '$exec_name' not installed"

# Man pages render without warnings and describe every option and command the programs accept.
render() {
  LC_ALL=C.UTF-8 MANWIDTH=200 MAN_KEEP_FORMATTING= man -l -Tutf8 "$1" 2>/dev/null | col -bx
}
for page in "$root"/usr/share/man/man1/*.1.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
done
ctl_page=$(render "$root/usr/share/man/man1/norvane-ctl.1.gz")
ctl_help=$("$root/usr/bin/norvane-ctl" --help)
commands=$(sed -n '/^commands:/,/^$/s/^  \([a-z-]*\).*/\1/p' <<<"$ctl_help")
[ -n "$commands" ] || fail "no commands in norvane-ctl --help"
for command in $commands; do
  grep -qE "^ {7}$command( |$)" <<<"$ctl_page" || fail "norvane-ctl.1 has no entry for '$command'"
done
update_options=$("$root/usr/bin/norvane-ctl" update-check --help | grep -oE -- '--[a-z-]+' | sort -u)
for option in $(grep -oE -- '--[a-z-]+' <<<"$ctl_help" | sort -u) $update_options; do
  grep -qF -- "$option" <<<"$ctl_page" || fail "norvane-ctl.1 does not mention $option"
done
main_page=$(render "$root/usr/share/man/man1/norvane.1.gz")
for option in $("$root/usr/bin/norvane" --help | grep -oE -- '--[a-z-]+'); do
  grep -qE "^ {7}(-[a-z], )?$option( |,|$)" <<<"$main_page" || fail "norvane.1 has no entry for $option"
done

# Maintainer scripts: valid, and an install in a chroot or container (no udevd, or a
# failing udevadm) still succeeds.
mkdir -p "$tmp/fakebin"
printf '#!/bin/sh\necho "udevadm $*" >>"%s"\nexit 1\n' "$tmp/udevadm.log" >"$tmp/fakebin/udevadm"
chmod +x "$tmp/fakebin/udevadm"
for script in postinst:configure postrm:remove postrm:purge; do
  file=$tmp/control/${script%%:*}
  [ -x "$file" ] || { fail "${script%%:*} missing or not executable"; continue; }
  PATH="$tmp/fakebin:$PATH" sh -e "$file" "${script#*:}" || fail "${script%%:*} ${script#*:} exited $?"
done
if [ -S /run/udev/control ]; then
  grep -qx "udevadm trigger --subsystem-match=hidraw --action=change" "$tmp/udevadm.log" ||
    fail "postinst did not trigger hidraw devices"
elif [ -e "$tmp/udevadm.log" ]; then
  fail "maintainer scripts ran udevadm without udevd: $(cat "$tmp/udevadm.log")"
fi

[ "$failures" -eq 0 ] || { echo "$failures failure(s)" >&2; exit 1; }
echo "package checks passed"
