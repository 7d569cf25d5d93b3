#!/usr/bin/env bash
# The Windows installer as a user runs it, under Wine (WINEPREFIX set, on a display): built by
# CPack with NSIS's makensis, installed silently (/S) into Program Files with its Start menu entry,
# the installed window started and driven by the window test program, then uninstalled silently,
# which leaves nothing of the installed folder. Its licence page shows the licence, which it
# installs beside the programs with the copyright file.
# usage: installer_test.sh CPACK BUILD_DIR WINDOW_TEST_PROGRAM
set -euo pipefail
cpack=$1 build=$2 tests=$3
work=$build/installer-test
rm -rf "$work"
mkdir -p "$work"
if ! "$cpack" -G NSIS -B "$work" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  exit 1
fi
installer=$(find "$work" -maxdepth 1 -name '*.exe')
[ -n "$installer" ] || { echo "cpack made no installer"; exit 1; }
# Its licence page shows the licence (a silent install skips the page: its script is read).
script=$(find "$work/_CPack_Packages" -name project.nsi)
grep -q '^ *!insertmacro MUI_PAGE_LICENSE ".*/LICENSE"$' "$script" ||
  { echo "the installer's licence page is not LICENSE:"; grep -n LICENSE "$script"; exit 1; }

wine "$installer" /S
root=$(winepath -u 'C:\Program Files\Miralto')
for file in miralto.exe miralto-cli.exe README.md LICENSE.txt COPYRIGHT.txt Uninstall.exe; do
  [ -f "$root/$file" ] || { echo "not installed: $root/$file"; ls -R "$root" || true; exit 1; }
done
drive=$(winepath -u 'C:\')
shortcut=$(find "$drive" -path '*Start Menu*' -name 'Miralto.lnk' | head -n 1)
[ -n "$shortcut" ] || { echo "no Start menu entry Miralto.lnk"; exit 1; }
echo "Start menu entry: $shortcut"

MIRALTO_INSTALLED_PROGRAM='C:\Program Files\Miralto\miralto.exe' \
  wine "$tests" --gtest_filter='*Installed*'

# The uninstaller copies itself away and returns at once: wait for it.
wine "$root/Uninstall.exe" /S
for _ in $(seq 300); do
  [ -e "$root" ] || [ -e "$shortcut" ] || break
  sleep 0.1
done
for left in "$root" "$shortcut"; do
  [ ! -e "$left" ] || { echo "left after uninstalling: $left"; exit 1; }
done
echo "installed, run and uninstalled"
