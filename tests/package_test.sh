#!/usr/bin/env bash
# Builds the release packages with scripts/package.sh, unpacks the Debian package into a temporary
# root with dpkg-deb -x and checks what a user gets: the files, the dependencies, a working
# miralto-cli of this version with its man page and completion, and the same tree in the .tar.gz.
# Usage: package_test.sh VERSION
set -euo pipefail
version=$1
cd "$(dirname "$0")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "package test: $*" >&2
  exit 1
}

MIRALTO_PACKAGE_BUILD_DIR="$work/build" scripts/package.sh "$work/out" >"$work/package.log" 2>&1 ||
  { cat "$work/package.log"; fail "scripts/package.sh failed"; }
deb="$work/out/miralto_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $(basename "$deb") among: $(ls "$work/out")"
tarballs=("$work"/out/miralto-"$version"-*.tar.gz)
[ -f "${tarballs[0]}" ] || fail "no miralto-$version-*.tar.gz among: $(ls "$work/out")"

root="$work/root"
dpkg-deb -x "$deb" "$root"
expected=(
  usr/bin/miralto
  usr/bin/miralto-cli
  usr/share/applications/miralto.desktop
  usr/share/icons/hicolor/16x16/apps/miralto.png
  usr/share/icons/hicolor/32x32/apps/miralto.png
  usr/share/icons/hicolor/scalable/apps/miralto.svg
  usr/share/man/man1/miralto-cli.1.gz
  usr/share/bash-completion/completions/miralto-cli
  usr/share/doc/miralto/README.md
)
for file in "${expected[@]}"; do
  [ -f "$root/$file" ] || fail "the package lacks /$file"
done
# The C library with its development files, the Python module and the SQLite extension.
for pattern in 'usr/lib/*libmiralto.so.1' 'usr/lib/*pkgconfig/miralto.pc' 'usr/lib/*MiraltoConfig.cmake' \
  'usr/include/miralto.h' 'usr/lib/python3/dist-packages/miralto.cpython-*.so' \
  'usr/lib/python3/dist-packages/miralto.pyi' 'usr/lib/*miralto/miralto_sqlite.so'; do
  [ -n "$(find "$root" -path "$root/$pattern")" ] || fail "the package lacks /$pattern"
done
PYTHONPATH="$root/usr/lib/python3/dist-packages" /usr/bin/python3 -c \
  'import miralto; assert miralto.encode(113.288959, 23.236255) == "8i4k7zwpg"' ||
  fail "the unpacked Python module does not encode"
for program in miralto miralto-cli; do
  [ -x "$root/usr/bin/$program" ] || fail "/usr/bin/$program is not executable"
done

# The libraries come from dpkg-shlibdeps, the fonts from the package's own list.
depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6widgets6 libcsv3 fonts-noto-cjk; do
  [[ $depends == *"$package"* ]] || fail "Depends lacks $package: $depends"
done
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version $(dpkg-deb -f "$deb" Version)"

# The unpacked batch converter runs, with the one version and without corrections.
cli="$root/usr/bin/miralto-cli"
[ "$("$cli" --version)" = "miralto-cli $version" ] || fail "--version says: $("$cli" --version)"
mkdir "$work/home"
code=$(echo "113.288959 23.236255" | HOME="$work/home" XDG_CONFIG_HOME= "$cli" encode)
[ "$code" = "8i4k7zwpg" ] || fail "encode gives '$code'"

# The man page is miralto-cli's, of this version, and names every option of its --help.
man=$(gzip -dc "$root/usr/share/man/man1/miralto-cli.1.gz")
[[ $man == *"miralto-cli $version"* ]] || fail "the man page does not name version $version"
completion="$root/usr/share/bash-completion/completions/miralto-cli"
options=$("$cli" --help | grep -o -- '--[a-z][a-z-]*' | sort -u)
for option in $options; do
  roff=${option//-/\\-} # roff writes a hyphen as \-
  [[ $man == *"$roff"* ]] || fail "the man page lacks $option"
  grep -q -- "$option" "$completion" || fail "the bash completion lacks $option"
done
# The completion offers the commands.
reply=$(bash -c 'source "$1"; COMP_WORDS=(miralto-cli en); COMP_CWORD=1; _miralto_cli
  echo "${COMPREPLY[*]}"' _ "$completion")
[ "$reply" = "encode" ] || fail "completing 'en' gives '$reply'"

# The PostgreSQL extensions come in a package of their own, where the server looks for them, and
# the main package holds none of their files.
pg_deb="$work/out/postgresql-15-miralto_${version}_$(dpkg --print-architecture).deb"
[ -f "$pg_deb" ] || fail "no $(basename "$pg_deb") among: $(ls "$work/out")"
pg_root="$work/pg-root"
dpkg-deb -x "$pg_deb" "$pg_root"
for file in "$(pg_config --pkglibdir)/miralto.so" \
  "$(pg_config --sharedir)/extension/"{miralto.control,miralto--$version.sql} \
  "$(pg_config --sharedir)/extension/"{miralto_postgis.control,miralto_postgis--$version.sql}; do
  [ -f "$pg_root$file" ] || fail "$(basename "$pg_deb") lacks $file"
done
[[ $(dpkg-deb -f "$pg_deb" Depends) == *postgresql-15* ]] ||
  fail "$(basename "$pg_deb") does not depend on postgresql-15: $(dpkg-deb -f "$pg_deb" Depends)"
[ -z "$(find "$root" -path '*postgresql*')" ] || fail "the main package holds PostgreSQL files"
# The unpacked extensions in a server: installed, they give the batch converter's codes.
MIRALTO_PG_PACKAGE_ROOT=$pg_root tests/bindings/postgresql/regress.sh - - "$root/usr/bin/miralto-cli" \
  "$version" install functions vectors >"$work/regress.log" 2>&1 ||
  { cat "$work/regress.log"; fail "the extensions of $(basename "$pg_deb") fail in a server"; }

# The archive holds the same tree under one folder (the library's links included).
(cd "$root/usr" && find . -type f -o -type l | sort) >"$work/deb.list"
tar -tzf "${tarballs[0]}" | grep -v '/$' | sed 's|^[^/]*/|./|' | sort >"$work/tar.list"
diff "$work/deb.list" "$work/tar.list" || fail "the .tar.gz and the .deb hold different files"
echo "package test: $(basename "$deb") and $(basename "${tarballs[0]}") hold ${#expected[@]} files"
