#!/usr/bin/env bash
# Installs what is missing, builds the page (the tool compiled to WebAssembly with Debian's
# emscripten) and serves it on http://127.0.0.1:8000/ until stopped (Ctrl+C); PORT changes the
# port. `scripts/web.sh build [CMAKE_ARGS...]` only builds it, into build-web/page.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh

build_only=false
if [ "${1:-}" = build ]; then
  build_only=true
  shift
fi
need_packages "${WEB_PACKAGES[@]}"
# libcsv has no emscripten package: the page builds it from Debian's source package.
libcsv=$(debian_source libcsv build-web/sources)
export NODE_PATH=/usr/share/nodejs
cmake --preset web -DMIRALTO_LIBCSV_SOURCE_DIR="$PWD/$libcsv" "$@"
cmake --build --preset web
$build_only && exit 0

port=${PORT:-8000}
echo "The page: http://127.0.0.1:$port/"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build-web/page
