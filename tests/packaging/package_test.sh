#!/usr/bin/env bash
# Builds the release packages with scripts/package.sh, unpacks the Debian packages into a temporary
# root with dpkg-deb -x and checks what a user gets: each file in its package, the dependencies,
# lintian's verdict over every package (the PostgreSQL extensions' too), the licence in every
# copyright file and the Python module's metadata, a working miralto-cli of this version with its
# man page and completion, and the same tree in the .tar.gz.
# Usage: package_test.sh VERSION [BUILD] (BUILD: a finished release build to package; without it
# scripts/package.sh builds one)
set -euo pipefail
version=$1
cd "$(dirname "$0")/../.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "package test: $*" >&2
  exit 1
}

MIRALTO_PACKAGE_BUILD_DIR="$work/build" MIRALTO_PACKAGE_FROM_BUILD=${2:-} \
  scripts/package.sh "$work/out" >"$work/package.log" 2>&1 ||
  { cat "$work/package.log"; fail "scripts/package.sh failed"; }
arch=$(dpkg --print-architecture)
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
packages=(miralto miralto-cli libmiralto1 libmiralto-dev python3-miralto libsqlite3-mod-miralto)
deb() { echo "$work/out/${1}_${version}_${arch}.deb"; }
for package in "${packages[@]}"; do
  [ -f "$(deb "$package")" ] || fail "no $(basename "$(deb "$package")") among: $(ls "$work/out")"
done
tarballs=("$work"/out/miralto-"$version"-*.tar.gz)
[ -f "${tarballs[0]}" ] || fail "no miralto-$version-*.tar.gz among: $(ls "$work/out")"

# Each file in the package Debian would put it in; the libraries in the multiarch folder.
root="$work/root"
for package in "${packages[@]}"; do
  mkdir -p "$work/each/$package"
  dpkg-deb -x "$(deb "$package")" "$work/each/$package"
  dpkg-deb -x "$(deb "$package")" "$root"
done
expected=(
  "miralto usr/bin/miralto"
  "miralto usr/share/applications/miralto.desktop"
  "miralto usr/share/icons/hicolor/16x16/apps/miralto.png"
  "miralto usr/share/icons/hicolor/32x32/apps/miralto.png"
  "miralto usr/share/icons/hicolor/scalable/apps/miralto.svg"
  "miralto usr/share/man/man1/miralto.1.gz"
  "miralto usr/share/doc/miralto/README.md"
  "miralto usr/share/miralto/installed/miralto"
  "miralto-cli usr/bin/miralto-cli"
  "miralto-cli usr/share/man/man1/miralto-cli.1.gz"
  "miralto-cli usr/share/bash-completion/completions/miralto-cli"
  "miralto-cli usr/share/miralto/installed/miralto-cli"
  "libmiralto1 usr/lib/$multiarch/libmiralto.so.1"
  "libmiralto-dev usr/lib/$multiarch/libmiralto.so"
  "libmiralto-dev usr/lib/$multiarch/pkgconfig/miralto.pc"
  "libmiralto-dev usr/lib/$multiarch/cmake/Miralto/MiraltoConfig.cmake"
  "libmiralto-dev usr/include/miralto.h"
  "python3-miralto usr/lib/python3/dist-packages/miralto.pyi"
  "libsqlite3-mod-miralto usr/lib/$multiarch/miralto/miralto_sqlite.so"
)
for package in "${packages[@]}"; do
  expected+=("$package usr/share/doc/$package/copyright" "$package usr/share/doc/$package/changelog.gz")
done
for row in "${expected[@]}"; do
  package=${row%% *} file=${row#* }
  [ -e "$work/each/$package/$file" ] || [ -L "$work/each/$package/$file" ] || fail "$package lacks /$file"
done
[ -n "$(find "$work/each/python3-miralto/usr/lib/python3/dist-packages" -name 'miralto.cpython-*.so')" ] ||
  fail "python3-miralto lacks the module"
PYTHONPATH="$root/usr/lib/python3/dist-packages" /usr/bin/python3 -c \
  'import miralto; assert miralto.encode(113.288959, 23.236255) == "8i4k7zwpg"' ||
  fail "the unpacked Python module does not encode"
for program in miralto miralto-cli; do
  [ -x "$root/usr/bin/$program" ] || fail "/usr/bin/$program is not executable"
done

# The licence: each package's copyright file in Debian's machine-readable format, Miralto's own
# files under Apache-2.0 and every licence it names with its text or a paragraph of its own; the
# Python module's metadata, pkg-config and the README name it too.
copyright_check='
import sys
from debian import copyright
with open(sys.argv[1], encoding="utf-8") as f:
    c = copyright.Copyright(f, strict=True)
own = c.find_files_paragraph("core/operations.cpp")
assert own is not None and own.files == ("*",), "no paragraph for the own files"
assert own.license.synopsis == "Apache-2.0", "own files under " + own.license.synopsis
texts = {p.license.synopsis for p in c.all_license_paragraphs()}
for p in c.all_files_paragraphs():
    files = " ".join(p.files)
    for name in p.license.synopsis.replace(" or ", " and ").split(" and "):
        assert p.license.text or name in texts, f"no text of {name} ({files})"
'
for package in "${packages[@]}"; do
  /usr/bin/python3 -c "$copyright_check" "$work/each/$package/usr/share/doc/$package/copyright" ||
    fail "$package: its copyright file is not as above"
done
metadata=$(PYTHONPATH="$root/usr/lib/python3/dist-packages" /usr/bin/python3 -c '
import importlib.metadata as m
d = m.metadata("miralto")
print(d["Name"], d["Version"], d["License"])')
[ "$metadata" = "miralto $version Apache-2.0" ] || fail "the Python module's metadata says: $metadata"
grep -qx 'License: Apache-2.0' "$root/usr/lib/$multiarch/pkgconfig/miralto.pc" ||
  fail "miralto.pc names no licence"
grep -q 'Apache License 2.0' "$root/usr/share/doc/miralto/README.md" || fail "the README names no licence"

# The libraries come from dpkg-shlibdeps, the fonts and Qt's Chinese (the message box's buttons)
# from the package's own list; the development files need the library of the same version, which
# has ldconfig run and a shlibs file.
depends_of() { dpkg-deb -f "$(deb "$1")" Depends; }
for row in "miralto libqt6widgets6" "miralto fonts-noto-cjk" "miralto qt6-translations-l10n" \
  "miralto-cli libcsv3" \
  "libmiralto-dev libmiralto1 (= $version)" "python3-miralto python3-numpy"; do
  package=${row%% *} want=${row#* }
  [[ $(depends_of "$package") == *"$want"* ]] || fail "$package: Depends lacks $want: $(depends_of "$package")"
done
dpkg-deb -I "$(deb libmiralto1)" triggers | grep -qx 'activate-noawait ldconfig' ||
  fail "libmiralto1 has no ldconfig trigger"
shlibs=$(dpkg-deb -I "$(deb libmiralto1)" shlibs) || fail "libmiralto1 has no shlibs file"
[ "$shlibs" = "libmiralto 1 libmiralto1 (>= $version)" ] || fail "libmiralto1's shlibs: $shlibs"
[ "$(dpkg-deb -f "$(deb miralto)" Version)" = "$version" ] || fail "package version $(dpkg-deb -f "$(deb miralto)" Version)"

# Debian's checks: no error, and every warning that remains is one listed here with its reason.
accepted=(
  # CPack writes a postinst and a postrm that run ldconfig for a package with a shared library,
  # besides the trigger the package declares; running it twice does no harm.
  maintscript-calls-ldconfig
)
lintian_tags=$(IFS=,; echo "${accepted[*]}")
lintian --fail-on error,warning --suppress-tags "$lintian_tags" --no-tag-display-limit \
  "$work"/out/*.deb >"$work/lintian.log" 2>&1 || { cat "$work/lintian.log"; fail "lintian reports the above"; }

# The unpacked batch converter runs, with the one version and without corrections.
cli="$root/usr/bin/miralto-cli"
[ "$("$cli" --version)" = "miralto-cli $version" ] || fail "--version says: $("$cli" --version)"
mkdir "$work/home"
code=$(echo "113.288959 23.236255" | HOME="$work/home" XDG_CONFIG_HOME= "$cli" encode)
[ "$code" = "8i4k7zwpg" ] || fail "encode gives '$code'"
# Installed, the program keeps corrections per user even where its user may write its folder
# (root may write /usr/bin): no one user's corrections bind all.
mkdir -p "$work/home/.config/miralto"
printf -- '-193\r\n106\r\n' >"$work/home/.config/miralto/修正.txt"
decoded=$(echo 8i4k7zwpg | HOME="$work/home" XDG_CONFIG_HOME= "$cli" decode --dd)
[ "$decoded" = "113.283583333333 23.2391944444444" ] ||
  fail "the installed miralto-cli does not read the user's corrections: $decoded"

# The man page is miralto-cli's, of this version, and names every option of its --help.
man=$(gzip -dc "$root/usr/share/man/man1/miralto-cli.1.gz")
[[ $man == *"miralto-cli $version"* ]] || fail "the man page does not name version $version"
# Its text is the help's: arrows, degree signs and the file name, not question marks.
for text in "修正.txt" "↑" "←" "113°17′20.24″" "计算差值"; do
  [[ $man == *"$text"* ]] || fail "the man page lacks \"$text\""
done
[[ $man != *"??"* ]] || fail "the man page has question marks for characters: $(grep -m1 '??' <<<"$man")"
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
# the other packages hold none of their files.
pg_deb=$(deb postgresql-15-miralto)
[ -f "$pg_deb" ] || fail "no $(basename "$pg_deb") among: $(ls "$work/out")"
pg_root="$work/pg-root"
dpkg-deb -x "$pg_deb" "$pg_root"
for file in "$(pg_config --pkglibdir)/miralto.so" \
  "$(pg_config --sharedir)/extension/"{miralto.control,miralto--$version.sql} \
  "$(pg_config --sharedir)/extension/"{miralto_postgis.control,miralto_postgis--$version.sql} \
  /usr/share/doc/postgresql-15-miralto/{copyright,changelog.gz}; do
  [ -f "$pg_root$file" ] || fail "$(basename "$pg_deb") lacks $file"
done
/usr/bin/python3 -c "$copyright_check" "$pg_root/usr/share/doc/postgresql-15-miralto/copyright" ||
  fail "$(basename "$pg_deb"): its copyright file is not as above"
[[ $(dpkg-deb -f "$pg_deb" Depends) == *postgresql-15* ]] ||
  fail "$(basename "$pg_deb") does not depend on postgresql-15: $(dpkg-deb -f "$pg_deb" Depends)"
[ -z "$(find "$root" -path '*postgresql*')" ] || fail "the other packages hold PostgreSQL files"
# The unpacked extensions in a server: installed, they give the batch converter's codes.
MIRALTO_PG_PACKAGE_ROOT=$pg_root tests/bindings/postgresql/regress.sh - - "$root/usr/bin/miralto-cli" \
  "$version" install functions vectors >"$work/regress.log" 2>&1 ||
  { cat "$work/regress.log"; fail "the extensions of $(basename "$pg_deb") fail in a server"; }

# The archive holds the packages' tree under one folder (the library's links included).
(cd "$root/usr" && find . -type f -o -type l | sort) >"$work/deb.list"
tar -tzf "${tarballs[0]}" | grep -v '/$' | sed 's|^[^/]*/|./|' | sort >"$work/tar.list"
diff "$work/deb.list" "$work/tar.list" || fail "the .tar.gz and the .deb hold different files"
echo "package test: ${#packages[@]} packages, $(basename "$pg_deb") and $(basename "${tarballs[0]}") hold ${#expected[@]} files"
