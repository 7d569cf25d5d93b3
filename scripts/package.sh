#!/usr/bin/env bash
# Builds the release packages from a clean Release build: miralto_<version>_<arch>.deb and a .tar.gz
# of the same install tree, and postgresql-15-miralto_<version>_<arch>.deb with the PostgreSQL
# extensions, written to OUTPUT_DIR (default build-package/packages).
# MIRALTO_PACKAGE_BUILD_DIR sets the build folder (default build-package); it is emptied first.
# MIRALTO_PACKAGE_FROM_BUILD=DIR packages the finished build in DIR instead, which must have been
# configured with release_flags (scripts/deps.sh) and the prefix /usr, as the test command's is.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh

need_packages "${BUILD_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}" "${BINDINGS_PACKAGES[@]}"
need_postgresql_packages

if [ -n "${MIRALTO_PACKAGE_FROM_BUILD:-}" ]; then
  build=$(cd "$MIRALTO_PACKAGE_FROM_BUILD" && pwd)
  output=${1:?an output folder}
  mkdir -p "$output"
  output=$(cd "$output" && pwd)
  staging=$output/cpack
else
  build=${MIRALTO_PACKAGE_BUILD_DIR:-build-package}
  output=${1:-$build/packages}
  rm -rf "$build"
  mkdir -p "$build" "$output"
  build=$(cd "$build" && pwd)
  output=$(cd "$output" && pwd)
  staging=$build/cpack
  # The Python module is built for Debian's Python, whatever python3 comes first on the PATH; the
  # preset's prefix /usr gives Debian's multiarch library folder.
  release_flags
  cmake --preset package -B "$build" -DPython3_EXECUTABLE=/usr/bin/python3 "${RELEASE_FLAGS[@]}"
  cmake --build "$build"
fi
(cd "$build" && cpack -B "$staging" >/dev/null)
(cd "$build" && cpack --config CPackPostgreSQLConfig.cmake -B "$staging" >/dev/null)
cp "$staging"/*.deb "$staging"/*.tar.gz "$output/"
rm -rf "$output/cpack"
ls -1 "$output"
