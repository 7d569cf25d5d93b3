#!/usr/bin/env bash
# Builds the Python module in release mode and runs bench/python_scalar.py with Debian's Python.
# Usage: bench/python_scalar.sh
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
need_packages "${BUILD_PACKAGES[@]}" "${BINDINGS_PACKAGES[@]}"
cmake -S . -B build-bench-python -G Ninja -DCMAKE_BUILD_TYPE=Release -DMIRALTO_BUILD_UI=OFF \
  -DMIRALTO_BUILD_TESTS=OFF -DMIRALTO_BUILD_BINDINGS=ON -DPython3_EXECUTABLE=/usr/bin/python3 \
  >/dev/null
cmake --build build-bench-python --target miralto_python >/dev/null
PYTHONPATH=build-bench-python/bindings/python /usr/bin/python3 bench/python_scalar.py
