#!/bin/sh
# Installs the build into a scratch prefix and uses libmiralto from there as a program outside
# the project would: a C99 program compiled through pkg-config, the same program built by a CMake
# project through find_package(Miralto CONFIG), and the Python module imported from its installed
# place.
# Usage: installed_library.sh BUILD_DIR TEST_SOURCE CMAKE [PYTHON [SQLITE_EXTENSION_NAME]]
set -eu
build=$1 source=$2 cmake=$3 python=${4:-} sqlite_extension=${5:-}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix

"$cmake" --install "$build" --prefix "$prefix" >/dev/null

pc=$(find "$prefix" -name miralto.pc)
[ -n "$pc" ] || { echo "miralto.pc was not installed"; exit 1; }
export PKG_CONFIG_PATH="${pc%/*}"
libdir=$(pkg-config --variable=libdir miralto)
# The library is found through its SONAME, the major version.
soname=$(objdump -p "$libdir/libmiralto.so" | awk '$1 == "SONAME" { print $2 }')
[ "$soname" = "libmiralto.so.$(pkg-config --modversion miralto | cut -d. -f1)" ] ||
  { echo "unexpected SONAME $soname"; exit 1; }

# One version everywhere: pkg-config, the header (which the program checks miralto_version()
# against), the Python module and miralto-cli all say what the project says.
version=$(pkg-config --modversion miralto)
header=$(pkg-config --variable=includedir miralto)/miralto.h
grep -q "^#define MIRALTO_VERSION_STRING \"$version\"\$" "$header" ||
  { echo "miralto.h does not carry the version $version"; exit 1; }
cli=$(find "$prefix" -name miralto-cli -type f -perm -u+x | head -n 1)
[ -z "$cli" ] || [ "$("$cli" --version)" = "miralto-cli $version" ] ||
  { echo "miralto-cli shows another version than $version"; exit 1; }

# shellcheck disable=SC2046  # pkg-config's words are meant to split
cc -std=c99 -Wall -Wextra -pedantic -Werror -o "$scratch/by_pkg_config" "$source" \
  $(pkg-config --cflags --libs miralto)
LD_LIBRARY_PATH=$libdir "$scratch/by_pkg_config"

mkdir "$scratch/user"
cp "$source" "$scratch/user/main.c"
cat >"$scratch/user/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.16)
project(user LANGUAGES C)
find_package(Miralto 1 CONFIG REQUIRED)
add_executable(by_cmake main.c)
set_target_properties(by_cmake PROPERTIES C_STANDARD 99 C_EXTENSIONS OFF)
target_link_libraries(by_cmake PRIVATE Miralto::miralto)
CMAKE
"$cmake" -S "$scratch/user" -B "$scratch/user/build" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
"$cmake" --build "$scratch/user/build" >/dev/null
LD_LIBRARY_PATH=$libdir "$scratch/user/build/by_cmake"

if [ -n "$python" ]; then
  module=$(find "$prefix" -name 'miralto*.so' -path '*-packages/*')
  [ -n "$module" ] || { echo "the Python module was not installed"; exit 1; }
  PYTHONPATH=${module%/*} "$python" -c 'import miralto; assert miralto.encode(113.288959, 23.236255) == "8i4k7zwpg"'
  [ "$(PYTHONPATH=${module%/*} "$python" -c 'import miralto; print(miralto.__version__)')" = "$version" ] ||
    { echo "the Python module shows another version than $version"; exit 1; }
fi
if [ -n "$sqlite_extension" ]; then
  [ -n "$(find "$prefix" -name "$sqlite_extension")" ] || { echo "no SQLite extension installed"; exit 1; }
fi
echo "installed library, pkg-config and CMake package files work"
