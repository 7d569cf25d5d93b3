#!/usr/bin/env bash
# Installs what is missing, builds the tool and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh

need_packages "${BUILD_PACKAGES[@]}"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMIRALTO_BUILD_TESTS=OFF
cmake --build build
echo "Built the conversion core. The window comes next; nothing to start yet."
