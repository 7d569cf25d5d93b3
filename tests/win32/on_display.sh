#!/bin/sh
# Runs a command (wine PROGRAM ...) on a virtual X display of its own, then waits until Wine is done
# with the prefix, so that the next run starts cleanly on its own display.
exec xvfb-run -a -s "-screen 0 1024x768x24" \
  sh -c '"$@"; status=$?; wineserver -w; exit $status' sh "$@"
