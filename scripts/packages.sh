# Debian packages Lamivex needs to build, test and run; sourced by scripts/run and scripts/test.
LAMIVEX_PACKAGES=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6-dev libqt6sql6-sqlite libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev libfmt-dev libsqlite3-dev libsleef-dev
  fonts-dejavu-core xvfb xauth poppler-utils
  mdbtools-dev libglib2.0-dev
)

lamivex_install_missing() {
  local missing=()
  for p in "${LAMIVEX_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

lamivex_build() {
  local sanitize=OFF
  [ "${SANITIZE:-0}" = "1" ] && sanitize=ON
  cmake -S . -B build -G Ninja -DLAMIVEX_SANITIZE="$sanitize" >/dev/null
  cmake --build build
}
