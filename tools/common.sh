# Shared by ./run and ./test: install missing Debian packages, configure and build.
# Sourced, not run.

NORVANE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

norvane_as_root() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  elif command -v sudo >/dev/null 2>&1; then
    sudo "$@"
  else
    echo "norvane: need root (or sudo) to run: $*" >&2
    return 1
  fi
}

# Installs the packages listed in the given files that are not installed yet.
norvane_ensure_packages() {
  local wanted missing=()
  wanted=$(cat "$@" | sed -e 's/#.*//' | tr -s ' \t' '\n' | sed '/^$/d' | sort -u)
  for pkg in $wanted; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "norvane: installing ${missing[*]}" >&2
  norvane_as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq &&
    norvane_as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# norvane_build <build-dir> [cmake args...]: configures once, then builds everything, or
# only the targets named in NORVANE_BUILD_TARGETS (space-separated).
norvane_build() {
  local dir=$1
  shift
  local generator=() targets=()
  command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S "$NORVANE_ROOT" -B "$dir" "${generator[@]}" "$@" || return 1
  fi
  if [ -n "${NORVANE_BUILD_TARGETS:-}" ]; then
    read -ra targets <<<"--target $NORVANE_BUILD_TARGETS"
  fi
  cmake --build "$dir" --parallel "$(nproc)" "${targets[@]}"
}
