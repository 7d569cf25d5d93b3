#!/bin/sh
# The man page of miralto-cli carries the help's own characters (help2man runs in a UTF-8 locale):
# arrows, degree signs, the Chinese names, "修正.txt"; a C locale made them "???".
# Usage: man_page.sh MAN_PAGE_GZ
set -eu
page=$(gzip -dc "$1")
for text in "修正.txt" "↑" "←" "113°17′20.24″" "计算差值"; do
  case $page in
  *"$text"*) ;;
  *) echo "the man page lacks \"$text\"" >&2; exit 1 ;;
  esac
done
case $page in
*"??"*) echo "the man page has question marks for characters" >&2; exit 1 ;;
esac
echo "man page: whole"
