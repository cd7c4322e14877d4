#!/usr/bin/env bash
# Installs the Debian packages that the build, the tests and the screenshots need.
# Idempotent: does nothing when every package is already present.
set -euo pipefail

packages=(
  cmake make g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools
  xvfb xauth
  fonts-dejavu-core fonts-noto-mono
  binutils
  graphviz libgraphviz-dev
  chromium
  fpc-source
  libcli11-dev nlohmann-json3-dev
  libpugixml-dev libtomlplusplus-dev
  python3
  mingw-w64 g++-mingw-w64-x86-64-posix wine64 googletest curl ca-certificates
  help2man dpkg-dev file
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
