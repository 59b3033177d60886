# Shared parts of the end-to-end scripts (sourced).

# require_tools TOOL...: exits 77 (skipped) when one is missing.
require_tools() {
  local tool
  for tool in "$@"; do
    if ! command -v "$tool" >/dev/null 2>&1; then
      echo "SKIP: $tool is not installed" >&2
      exit 77
    fi
  done
}

# run_inside WORK SCRIPT ARGS...: runs the script again under Xvfb and a private session bus, with
# its configuration, data and runtime folders in WORK; the script's status.
run_inside() {
  local work=$1
  shift
  env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_CONFIG_HOME="$work/config" NORVANE_DATA_HOME="$work/data" \
    XDG_RUNTIME_DIR="$work/run" NORVANE_E2E_INNER=1 \
    xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- bash "$@"
}

# wait_lines PATTERN N: waits up to 10 s until the file $log holds N lines matching the pattern.
wait_lines() {
  local pattern=$1 count=$2
  for _ in $(seq 100); do
    [ "$(grep -c -- "$pattern" "$log")" -ge "$count" ] && return 0
    sleep 0.1
  done
  return 1
}
