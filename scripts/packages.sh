# shellcheck shell=bash
# Debian packages Lamivex needs to build, test and run; sourced by scripts/run and scripts/test.
LAMIVEX_PACKAGES=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6sql6-sqlite libgl-dev qt6-image-formats-plugins
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev libfmt-dev libsqlite3-dev libsleef-dev
  fonts-dejavu-core xvfb xauth poppler-utils librsvg2-bin openbox xdotool x11-utils imagemagick
  mdbtools-dev libglib2.0-dev
  help2man desktop-file-utils python3
  gemmi-dev tao-pegtl-dev pybind11-dev python3-dev python3-numpy python3-pytest python3-ase
  python3-pandas python3-matplotlib python3-venv python3-pip python3-setuptools python3-wheel python3-build
  python3-pybind11
  parallel python3-distributed
  clang libclang-rt-14-dev clang-format clang-tidy
)

lamivex_install_missing() {
  local missing=()
  for p in "${LAMIVEX_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
      if ! command -v sudo >/dev/null; then
        echo "These Debian packages are missing and sudo is not installed; as root, run:" >&2
        echo "  apt-get install --no-install-recommends ${missing[*]}" >&2
        return 1
      fi
      sudo="sudo"
    fi
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

# Outside a login session (a container, a bare xvfb-run) XDG_RUNTIME_DIR is unset and Qt
# warns about it on every start; give Qt the private folder it would fall back to anyway.
lamivex_runtime_dir() {
  [ -n "${XDG_RUNTIME_DIR:-}" ] && return 0
  local dir
  dir="${TMPDIR:-/tmp}/runtime-$(id -un)"
  mkdir -m 0700 "$dir" 2>/dev/null || [ -d "$dir" ] || return 0
  if [ -O "$dir" ] && [ "$(stat -c %a "$dir")" = 700 ]; then
    export XDG_RUNTIME_DIR="$dir"
  fi
}

lamivex_build() {
  local sanitize=OFF
  [ "${SANITIZE:-0}" = "1" ] && sanitize=ON
  cmake -S . -B build -G Ninja -DLAMIVEX_SANITIZE="$sanitize" >/dev/null
  cmake --build build
}
