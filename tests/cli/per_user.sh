#!/usr/bin/env bash
# An installed miralto-cli: its folder is not the user's to write, so the default corrections come
# from the user's configuration folder. Runs as nobody when started as root.
# Usage: per_user.sh MIRALTO_CLI INPUT EXPECTED ARGS...
set -euo pipefail
cli=$1 input=$2 expected=$3
shift 3
work=$(mktemp -d /tmp/miralto-as-user.XXXXXX) # under /tmp, which the user nobody may enter
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
mkdir "$work/bin" "$work/home"
cp "$cli" "$work/bin/"
chmod 555 "$work/bin"
mkdir -p "$work/home/.config/miralto"
printf -- '-193\r\n106\r\n' >"$work/home/.config/miralto/修正.txt"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  chown -R nobody:nogroup "$work/home"
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
output=$(env -u XDG_CONFIG_HOME HOME="$work/home" "${as_user[@]}" \
  "$work/bin/$(basename "$cli")" "$@" <"$input")
if [ "$output" != "$(cat "$expected")" ]; then
  printf 'output differs from %s:\n--- got\n%s\n--- expected\n' "$expected" "$output"
  cat "$expected"
  exit 1
fi
