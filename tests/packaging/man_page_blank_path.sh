#!/bin/sh
# The man page of miralto-cli is made where the build folder's path has a blank: packaging's rule
# (packaging/man_page.cmake) runs on a copy of the program in such a folder, and the page it writes
# is the whole help (man_page.sh).
# Usage: man_page_blank_path.sh CMAKE HELP2MAN GZIP MIRALTO_CLI
set -eu
cmake=$1 help2man=$2 gzip=$3 cli=$4
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
folder="$work/build folder/cli"
mkdir -p "$folder"
cp "$cli" "$folder/miralto-cli"
"$cmake" -DHELP2MAN="$help2man" -DGZIP="$gzip" -DPROGRAM="$folder/miralto-cli" \
  -DNAME="convert positions" -DINCLUDE="$source_dir/packaging/miralto-cli.h2m" \
  -DOUTPUT="$work/build folder/miralto-cli.1" -P "$source_dir/packaging/man_page.cmake"
"$(dirname "$0")/man_page.sh" "$work/build folder/miralto-cli.1.gz"
