#!/usr/bin/env bash
# Runs the main job on the example project: the main window, which scans the project at
# once. Without a display (or without the window's program) the command-line front end
# prints the same scan instead.
set -euo pipefail
build=${1:-build}
project=${2:-examples/demo/Demo.dpr}
if [ -x "$build/unitrace" ]; then
  if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$build/unitrace" "$project"
  fi
  echo "No display (\$DISPLAY and \$WAYLAND_DISPLAY are unset): scanning with unitrace-cli instead of opening the window."
else
  echo "The window program $build/unitrace was not built (Qt 6 missing?): scanning with unitrace-cli."
fi
exec "$build/unitrace-cli" "$project"
