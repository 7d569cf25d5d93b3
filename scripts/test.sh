#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh

need_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
ensure_comma_locale

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMIRALTO_BUILD_UI=ON \
  -DMIRALTO_BUILD_TESTS=ON
cmake --build build
ctest --test-dir build --output-on-failure
