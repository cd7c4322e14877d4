#!/usr/bin/env bash
# Unpacks the .deb that `make package` built into a temporary root and checks that it holds
# what an installation needs and that unitrace-cli runs from there.
# Usage: check-package.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: check-package.sh BUILD_DIR}
deb=$(ls -t "$build"/unitrace_*.deb | head -1)
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
fail() { echo "package $deb: $*" >&2; exit 1; }
for f in usr/bin/unitrace-cli usr/bin/tdump usr/share/man/man1/unitrace-cli.1 \
         usr/share/bash-completion/completions/unitrace-cli; do
  [ -f "$root/$f" ] || fail "$f is missing"
done
if [ -f "$root/usr/bin/unitrace" ]; then
  [ -f "$root/usr/share/applications/unitrace.desktop" ] || fail "the desktop entry is missing"
  [ -f "$root/usr/share/icons/hicolor/scalable/apps/unitrace.svg" ] || fail "the icon is missing"
fi
help=$("$root/usr/bin/unitrace-cli" --help) || fail "unitrace-cli --help failed"
grep -q '^Usage: unitrace-cli \[OPTIONS\] PROJECT' <<<"$help" || fail "unitrace-cli --help printed no usage"
grep -q -- '--format' "$root/usr/share/bash-completion/completions/unitrace-cli" ||
  fail "the bash completion lacks --format"
grep -q '^\.SH OPTIONS' "$root/usr/share/man/man1/unitrace-cli.1" || fail "the manual page has no OPTIONS"
depends=$(dpkg-deb -f "$deb" Depends)
grep -q 'libc6' <<<"$depends" || fail "no dependencies declared (Depends: $depends)"
echo "package $deb: installs and runs (Depends: $depends)"
