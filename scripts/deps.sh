# Sourced by the other scripts: installs the Debian packages a step needs, only those missing.
# shellcheck shell=bash

# A step that fails says which command failed and where, so that a stop under `set -e` is never
# silent; -E carries the trap into the functions below.
set -E
trap 'echo "${0##*/}: failed (status $?) at ${BASH_SOURCE[0]:-$0}:$LINENO: $BASH_COMMAND" >&2' ERR

# The version of the installed package $1, or nothing when it is not installed (dpkg-query then
# fails, which must not end a script that runs under `set -e`).
installed_version() {
  dpkg-query -W -f='${Status} ${Version}' "$1" 2>/dev/null | sed -n 's/^install ok installed //p' ||
    true
}

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
  # Another apt run (a fresh machine's automatic updates) holds the lock for a while: wait for it.
  "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 install -y -qq \
    --no-install-recommends \
    "${missing[@]}" >/dev/null
}

# The toolchain and libraries every build uses; Qt's translation tools make the window's Chinese,
# Python turns the same translation file into the table of the windows without Qt.
BUILD_PACKAGES=(g++ cmake ninja-build pkg-config qt6-base-dev libgl-dev libcli11-dev libcsv-dev
 nlohmann-json3-dev qt6-tools-dev qt6-l10n-tools python3)
# fontconfig, which the window asks to read its configuration ahead of Qt.
BUILD_PACKAGES+=(libfontconfig-dev)
# fast_float and fmt (header-only) read and write number texts on every target.
BUILD_PACKAGES+=(libfast-float-dev libfmt-dev)
# The fonts the window is drawn with: Chinese glyphs and a Latin sans.
FONT_PACKAGES=(fonts-noto-cjk fonts-dejavu-core)
# What the window needs to show: its fonts, Qt's own texts in Chinese (the message box's buttons),
# and a virtual X server where there is no display (with the xauth that xvfb-run needs, for the
# window's start-up benchmark).
RUN_PACKAGES=("${FONT_PACKAGES[@]}" qt6-translations-l10n xvfb xauth)
# What the tests add: GoogleTest, the window's fonts (the window test checks that every caption
# shows whole in them), Qt's Chinese (the message box test), the locales tool, clang with its
# runtime for the fuzz targets, and Python, GDAL's ogrinfo and xmllint to read the map formats back.
TEST_PACKAGES=(googletest libgtest-dev "${FONT_PACKAGES[@]}" qt6-translations-l10n locales clang
  libclang-rt-14-dev python3 gdal-bin libxml2-utils)
# xvfb-run and xprop: the window program started on a virtual X server, its window's icon read back.
# xvfb-run needs xauth, which xvfb only recommends.
TEST_PACKAGES+=(xvfb xauth x11-utils)
# python3-debian: its parser of Debian's machine-readable copyright format reads the packages'
# copyright files.
TEST_PACKAGES+=(python3-debian)
# What building the release packages adds: dpkg-shlibdeps (dpkg-dev) and file, which CPack uses to
# compute the Debian package's dependencies, help2man for the man page of miralto-cli, and lintian,
# which the package test runs over the packages.
PACKAGE_PACKAGES=(dpkg-dev file help2man lintian)

# What the Python module (pybind11, numpy) and the SQLite extension are built with.
BINDINGS_PACKAGES=(python3 python3-dev python3-pybind11 pybind11-dev python3-numpy libsqlite3-dev)
# What their tests add: pytest, the sqlite3 shell, and Dask with pandas for the cluster example.
BINDINGS_TEST_PACKAGES=(python3-pytest sqlite3 python3-pandas python3-dask python3-distributed)

# The PostgreSQL extensions: the server and its development files (pg_config, the server headers,
# pg_regress), and PostGIS for the second extension and its test.
POSTGRESQL_VERSION=15
POSTGRESQL_PACKAGES=("postgresql-$POSTGRESQL_VERSION" "postgresql-server-dev-$POSTGRESQL_VERSION"
  "postgresql-$POSTGRESQL_VERSION-postgis-3")

# Installs POSTGRESQL_PACKAGES with the development files at the server's own version: on a machine
# whose server is older than the archive's newest postgresql-server-dev-15, installing the newest
# dev package would upgrade the server too. An installed server fixes the version of the dev
# package (apt-get install postgresql-server-dev-15=V); otherwise both come in one step, at the
# same version.
need_postgresql_packages() {
  local server=postgresql-$POSTGRESQL_VERSION dev=postgresql-server-dev-$POSTGRESQL_VERSION
  local version
  version=$(installed_version "$server")
  if [ -n "$version" ] && [ -z "$(installed_version "$dev")" ]; then
    need_packages "$dev=$version"
  fi
  need_packages "${POSTGRESQL_PACKAGES[@]}"
}

# Locales the tests run under: a comma-decimal one, to show that no text follows it, and the
# Chinese and the English one the window's language follows.
TEST_LOCALES=(de_DE.UTF-8 zh_CN.UTF-8 en_US.UTF-8)

# Whether `locale -a` lists NAME ("de_DE.UTF-8" is listed as "de_DE.utf8").
has_locale() {
  local want
  want=$(printf '%s' "$1" | tr 'A-Z' 'a-z' | tr -d '-')
  locale -a 2>/dev/null | tr 'A-Z' 'a-z' | tr -d '-' | grep -qxF "$want"
}

# Generates the locales named (NAME.CHARSET, as in /etc/locale.gen) that are missing. Fails with a
# message when one cannot be generated, so that no test silently runs without it.
ensure_locales() {
  local missing=() name
  for name in "$@"; do has_locale "$name" || missing+=("$name"); done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ ! -f /etc/locale.gen ] || ! command -v locale-gen >/dev/null; then
    echo "Cannot generate the locales ${missing[*]}: locale-gen is missing (package locales)" >&2
    return 1
  fi
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  echo "Generating locales: ${missing[*]}"
  for name in "${missing[@]}"; do
    local line="$name ${name#*.}"
    "${sudo[@]}" sed -i "s/^# *\(${line//./\\.}\)\$/\1/" /etc/locale.gen
    grep -qxF "$line" /etc/locale.gen || echo "$line" | "${sudo[@]}" tee -a /etc/locale.gen >/dev/null
  done
  "${sudo[@]}" locale-gen
  for name in "${missing[@]}"; do
    has_locale "$name" || { echo "Generating the locale $name failed" >&2; return 1; }
  done
}

# The cross compiler, Wine to run its programs, GoogleTest's sources to build it for Windows, and
# dpkg-dev to unpack Debian source packages (libcsv has no Windows build in Debian).
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 googletest
  dpkg-dev)
# The Windows window's tests add Wine's Tahoma, a CJK face for the prefix to link to it, a virtual
# X display (xvfb-run, with the xauth it needs), and NSIS to build the installer that is tested.
WINDOWS_PACKAGES+=(fonts-wine fonts-noto-cjk xvfb xauth nsis)

# Source packages come from deb-src entries; Debian 12 lists only binary ones. Adds a deb-src twin
# of every Debian entry, once, and refreshes the lists.
ensure_debian_sources() {
  apt-get indextargets --format '$(TARGET_OF)' 2>/dev/null | grep -qx deb-src && return 0
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  local list=/etc/apt/sources.list.d/debian-src.sources
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
      "${sudo[@]}" tee "$list" >/dev/null
  elif [ -f /etc/apt/sources.list ]; then
    list=/etc/apt/sources.list.d/debian-src.list
    sed -n 's/^deb \(.*debian.*\)/deb-src \1/p' /etc/apt/sources.list | "${sudo[@]}" tee "$list" >/dev/null
  fi
  "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 update -qq
}

# Unpacks the Debian source package $1 under the folder $2 (once) and prints the folder it made.
debian_source() {
  local package=$1 into=$2
  local found=
  # On a fresh machine the folder is not there yet: find would fail, and the trap would call that
  # a failed step.
  if [ -d "$into" ]; then
    found=$(find "$into" -mindepth 1 -maxdepth 1 -type d -name "$package-*" | head -n 1)
  fi
  if [ -z "$found" ]; then
    ensure_debian_sources
    mkdir -p "$into"
    (cd "$into" && apt-get source -qq "$package" >/dev/null)
    found=$(find "$into" -mindepth 1 -maxdepth 1 -type d -name "$package-*" | head -n 1)
  fi
  echo "$found"
}

# The page: Debian's emscripten (with Node.js, whose fetch its loader needs turned off), Python's
# http.server to serve it, and for its tests Debian's Chromium driven by playwright-core from npm.
# npm is Debian's package "npm" where Node.js is Debian's (need_npm).
WEB_PACKAGES=(emscripten nodejs python3 cmake ninja-build dpkg-dev libfast-float-dev libfmt-dev
  libcli11-dev nlohmann-json3-dev)
WEB_TEST_PACKAGES=(chromium fonts-noto-cjk)

# npm: Debian's package, unless the Node.js installed brings its own.
need_npm() {
  command -v npm >/dev/null || need_packages npm
}

# RELEASE_FLAGS: the configure arguments of a release build, Debian's hardening flags as its own
# packages use them (dpkg-buildflags); the packages are built with them, and so is the test
# command's suite, which the package test then packages.
release_flags() {
  RELEASE_FLAGS=(
    "-DCMAKE_CXX_FLAGS=$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
    "-DCMAKE_C_FLAGS=$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
    "-DCMAKE_EXE_LINKER_FLAGS=$(dpkg-buildflags --get LDFLAGS)"
    "-DCMAKE_SHARED_LINKER_FLAGS=$(dpkg-buildflags --get LDFLAGS)"
    "-DCMAKE_MODULE_LINKER_FLAGS=$(dpkg-buildflags --get LDFLAGS)"
  )
}
