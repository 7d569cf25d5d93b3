#!/usr/bin/env bash
# Builds the release packages from a clean Release build: miralto_<version>_<arch>.deb and a .tar.gz
# of the same install tree, and postgresql-15-miralto_<version>_<arch>.deb with the PostgreSQL
# extensions, written to OUTPUT_DIR (default build-package/packages).
# MIRALTO_PACKAGE_BUILD_DIR sets the build folder (default build-package); it is emptied first.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh

need_packages "${BUILD_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}" "${BINDINGS_PACKAGES[@]}"
need_postgresql_packages

build=${MIRALTO_PACKAGE_BUILD_DIR:-build-package}
output=${1:-$build/packages}
rm -rf "$build"
mkdir -p "$build" "$output"
build=$(cd "$build" && pwd)
output=$(cd "$output" && pwd)

# The Python module is built for Debian's Python, whatever python3 comes first on the PATH; the
# preset's prefix /usr gives Debian's multiarch library folder; Debian's hardening flags as its own
# builds use them.
cmake --preset package -B "$build" -DPython3_EXECUTABLE=/usr/bin/python3 \
  "-DCMAKE_CXX_FLAGS=$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  "-DCMAKE_EXE_LINKER_FLAGS=$(dpkg-buildflags --get LDFLAGS)" \
  "-DCMAKE_SHARED_LINKER_FLAGS=$(dpkg-buildflags --get LDFLAGS)" \
  "-DCMAKE_MODULE_LINKER_FLAGS=$(dpkg-buildflags --get LDFLAGS)"
cmake --build "$build"
(cd "$build" && cpack -B "$build/cpack" >/dev/null)
(cd "$build" && cpack --config CPackPostgreSQLConfig.cmake -B "$build/cpack" >/dev/null)
cp "$build"/cpack/*.deb "$build"/cpack/*.tar.gz "$output/"
ls -1 "$output"
