#!/usr/bin/env bash
# Runs the main job on the example project: the scan, printed by the command-line front end.
set -euo pipefail
build=${1:-build}
project=${2:-examples/demo/Demo.dpr}
exec "$build/unitrace-cli" "$project"
