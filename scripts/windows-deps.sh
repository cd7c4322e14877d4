#!/usr/bin/env bash
# Prepares the libraries of the Windows build in DIR (the build directory's deps/):
#   DIR/include   the header-only libraries (CLI11, nlohmann-json, toml++) copied from the system
#   DIR/pugixml   the pugixml sources: the upstream tarball of the version Debian ships,
#                 checked against its pinned SHA-256.
# Does nothing for what is already there.
set -euo pipefail
dir=${1:?usage: windows-deps.sh DIR}
mkdir -p "$dir/include"

for h in CLI nlohmann toml++; do
  if [ ! -d "$dir/include/$h" ]; then
    [ -d "/usr/include/$h" ] || { echo "missing /usr/include/$h (run scripts/install-deps.sh)" >&2; exit 1; }
    cp -r "/usr/include/$h" "$dir/include/$h"
  fi
done

pugixml_version=1.13
pugixml_sha256=5c5ad5d7caeb791420408042a7d88c2c6180781bf218feca259fd9d840a888e1
pugixml_url=http://deb.debian.org/debian/pool/main/p/pugixml/pugixml_${pugixml_version}.orig.tar.gz
if [ ! -f "$dir/pugixml/src/pugixml.cpp" ]; then
  tarball="$dir/pugixml_${pugixml_version}.orig.tar.gz"
  if [ ! -f "$tarball" ] || ! echo "$pugixml_sha256  $tarball" | sha256sum -c --status; then
    curl -sSfL --retry 3 -o "$tarball.part" "$pugixml_url"
    mv "$tarball.part" "$tarball"
  fi
  if ! echo "$pugixml_sha256  $tarball" | sha256sum -c --status; then
    echo "pugixml tarball $tarball does not match its SHA-256" >&2
    rm -f "$tarball"
    exit 1
  fi
  rm -rf "$dir/pugixml"
  mkdir -p "$dir/pugixml"
  tar xzf "$tarball" -C "$dir/pugixml" --strip-components=1 "pugixml-${pugixml_version}/src"
fi
