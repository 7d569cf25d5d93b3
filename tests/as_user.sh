#!/usr/bin/env bash
# Runs a test program as a user who is not root, for the cases that permissions decide (root
# passes every permission check). As root: a copy of the program in a folder everyone may read,
# run as nobody with a home and temporary folder of its own. As a user: the program itself.
set -euo pipefail
program=$1
shift
if [ "$(id -u)" -ne 0 ]; then
  exec "$program" "$@"
fi
work=$(mktemp -d /tmp/miralto-as-user.XXXXXX) # under /tmp, which the user nobody may enter
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
cp "$program" "$work/"
mkdir "$work/home"
chown nobody:nogroup "$work/home"
env -u XDG_CONFIG_HOME HOME="$work/home" TMPDIR="$work/home" \
  setpriv --reuid=nobody --regid=nogroup --clear-groups "$work/$(basename "$program")" "$@"
