#!/usr/bin/env bash
# A picture of a web page in headless Chromium, with a fresh profile and nothing fetched
# from the network.
#
#   scripts/page-screenshot.sh PAGE.html[#FRAGMENT] PICTURE.png [WIDTH,HEIGHT]
set -euo pipefail
page=$(realpath "${1%%#*}")
[[ "$1" == *#* ]] && page="$page#${1#*#}"
picture=$(realpath -m "$2")
size=${3:-1280,1800}
profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT
timeout 120 chromium --headless --no-sandbox --disable-gpu --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$profile" --hide-scrollbars --window-size="$size" \
    --screenshot="$picture" "file://$page" >/dev/null 2>&1
[ -s "$picture" ]
