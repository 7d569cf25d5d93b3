#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the whole suite, then the core,
# correction store and batch converter tests under AddressSanitizer and UndefinedBehaviorSanitizer
# (built without 128-bit integers, as MSVC builds are), then the same built for Windows and run
# under Wine, then a short run of every fuzz target. FUZZ_SECONDS sets the fuzz time per target
# (default 20).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh

need_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}" \
  "${BINDINGS_PACKAGES[@]}" "${BINDINGS_TEST_PACKAGES[@]}"
ensure_locales "${TEST_LOCALES[@]}"
# The locales exist now: a test that needs one fails rather than skips.
export MIRALTO_REQUIRE_LOCALES=1

# The Python module is built for, and tested with, Debian's Python, whatever python3 comes first
# on the PATH.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMIRALTO_BUILD_UI=ON \
  -DMIRALTO_BUILD_TESTS=ON -DMIRALTO_BUILD_BINDINGS=ON -DPython3_EXECUTABLE=/usr/bin/python3
cmake --build build
ctest --test-dir build --output-on-failure

echo "== Sanitizers: the same tests without the window, built with ASan and UBSan"
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMIRALTO_SANITIZE=ON \
  -DMIRALTO_BUILD_UI=OFF -DMIRALTO_BUILD_TESTS=ON -DMIRALTO_NO_INT128=ON
cmake --build build-sanitize
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-sanitize --output-on-failure

echo "== Windows: the same tests cross-built with MinGW-w64 and run under Wine"
need_packages "${WINDOWS_PACKAGES[@]}"
libcsv=$(debian_source libcsv build-windows/sources)
cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMIRALTO_BUILD_UI=OFF -DMIRALTO_BUILD_TESTS=ON \
  -DMIRALTO_NO_INT128=ON -DMIRALTO_LIBCSV_SOURCE_DIR="$PWD/$libcsv"
cmake --build build-windows
# The Wine prefix the tests run in (see cmake/WindowsDependencies.cmake), set up before they start
# so that parallel tests do not race to create it.
env WINEPREFIX="$PWD/build-windows/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= \
  sh -c 'wineboot --init && wineserver --wait' 2>/dev/null
ctest --test-dir build-windows --output-on-failure --parallel 2

echo "== Fuzzing every target for ${FUZZ_SECONDS:-20} seconds"
fuzz/run.sh "${FUZZ_SECONDS:-20}"
