#!/usr/bin/env bash
# Runs a test program as a user who is not root, for the cases that permissions decide (root
# passes every permission check). As root: a copy of the program in a folder everyone may read,
# run as nobody with a home and temporary folder of its own. As a user: the program itself.
# This run is the only one where those cases do not skip: when it cannot switch users, it fails.
set -euo pipefail
program=$1
shift
if [ "$(id -u)" -ne 0 ]; then
  exec "$program" "$@"
fi
user=nobody
if ! id -u "$user" >/dev/null 2>&1; then
  echo "as_user.sh: there is no user $user to run the permission cases as" >&2
  exit 1
fi
group=$(id -gn "$user")
as_user=(setpriv --reuid="$user" --regid="$group" --clear-groups)
if [ "$("${as_user[@]}" id -u 2>/dev/null || true)" != "$(id -u "$user")" ]; then
  echo "as_user.sh: cannot switch to the user $user (setpriv needs the right to change users)" >&2
  exit 1
fi
work=$(mktemp -d /tmp/miralto-as-user.XXXXXX) # under /tmp, which the user nobody may enter
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
cp "$program" "$work/"
mkdir "$work/home"
chown "$user:$group" "$work/home"
env -u XDG_CONFIG_HOME HOME="$work/home" TMPDIR="$work/home" \
  "${as_user[@]}" "$work/$(basename "$program")" "$@"
