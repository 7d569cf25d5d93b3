#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the whole suite, then the core,
# correction store and batch converter tests under AddressSanitizer and UndefinedBehaviorSanitizer
# (built without 128-bit integers, as MSVC builds are), then the same and the native window built
# for Windows and run under Wine, then the page built with emscripten and tested in Chromium, then
# a short run of every fuzz target. FUZZ_SECONDS sets the fuzz time per target (default 10).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh

need_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}" \
  "${BINDINGS_PACKAGES[@]}" "${BINDINGS_TEST_PACKAGES[@]}"
need_postgresql_packages
ensure_locales "${TEST_LOCALES[@]}"
# The locales exist now: a test that needs one fails rather than skips.
export MIRALTO_REQUIRE_LOCALES=1

# The configurations are the presets of CMakePresets.json, each in a build folder of its own. The
# Python module is built for, and tested with, Debian's Python, whatever python3 comes first on the
# PATH. The suite is built as the release packages are (flags, prefix), so that the package test
# packages this build rather than building everything again.
release_flags
cmake --preset default -DPython3_EXECUTABLE=/usr/bin/python3 "${RELEASE_FLAGS[@]}" \
  -DCMAKE_INSTALL_PREFIX=/usr
cmake --build --preset default
ctest --preset default

echo "== Sanitizers: the same tests without the window, built with ASan and UBSan"
cmake --preset sanitize
cmake --build --preset sanitize
ctest --preset sanitize

echo "== Windows: the same tests and the native window cross-built with MinGW-w64, run under Wine"
need_packages "${WINDOWS_PACKAGES[@]}"
libcsv=$(debian_source libcsv build-windows/sources)
cmake --preset windows -DMIRALTO_LIBCSV_SOURCE_DIR="$PWD/$libcsv"
cmake --build --preset windows
# The Wine prefix the tests run in (see cmake/WindowsDependencies.cmake), set up before they start
# so that parallel tests do not race to create it.
env WINEPREFIX="$PWD/build-windows/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= \
  sh -c 'wineboot --init && wineserver --wait' 2>/dev/null
ctest --preset windows

echo "== The page: built with emscripten, the shared tables under Node.js, the page in Chromium"
need_packages "${WEB_PACKAGES[@]}" "${WEB_TEST_PACKAGES[@]}"
need_npm
# playwright-core as the lock file pins it, without a browser of its own: Debian's Chromium runs.
mkdir -p build-web/node
cp tests/web/package.json tests/web/package-lock.json build-web/node/
PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --prefix build-web/node --no-audit --no-fund
scripts/web.sh build -DMIRALTO_NATIVE_CLI="$PWD/build/cli/miralto-cli" \
  -DMIRALTO_NODE_MODULES="$PWD/build-web/node/node_modules"
ctest --preset web
echo "The page's screenshot: build-web/page-screenshot.png"

echo "== Fuzzing every target for ${FUZZ_SECONDS:-10} seconds"
fuzz/run.sh "${FUZZ_SECONDS:-10}"
