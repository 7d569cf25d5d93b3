# Sourced by the other scripts: installs the Debian packages a step needs, only those missing.
# shellcheck shell=bash

need_packages() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
}

# The toolchain and libraries every build uses.
BUILD_PACKAGES=(g++ cmake ninja-build pkg-config qt6-base-dev libgl-dev libcli11-dev libcsv-dev)
# What the window needs to show: fonts with Chinese glyphs, and a virtual X server where there is
# no display.
RUN_PACKAGES=(fonts-noto-cjk fonts-dejavu-core xvfb)
# What the tests add: GoogleTest, a font, and a comma-decimal locale to show that no text follows it.
# and clang with its runtime for the fuzz targets.
TEST_PACKAGES=(googletest libgtest-dev fonts-dejavu-core locales clang libclang-rt-14-dev)

# A comma-decimal locale for the locale test; generated once.
ensure_comma_locale() {
  locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$' && return 0
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  if [ -f /etc/locale.gen ]; then
    "${sudo[@]}" sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | "${sudo[@]}" tee -a /etc/locale.gen >/dev/null
    "${sudo[@]}" locale-gen >/dev/null 2>&1 || true
  fi
}
