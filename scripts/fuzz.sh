#!/usr/bin/env bash
# Fuzzes the import reader with libFuzzer for FUZZ_SECONDS (default 120). Needs clang, which
# it installs when missing; the ordinary build and tests do not.
# Crashes are written to build-fuzz/ (crash-*), the grown corpus stays in build-fuzz/corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-120}
out=build-fuzz

if ! command -v clang++ >/dev/null; then
    SUDO=""
    if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -qq
    $SUDO apt-get install -y -qq --no-install-recommends clang
fi

mkdir -p "$out/corpus"
clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -Isrc tests/fuzz/ImportReaderFuzz.cpp src/imports/ByteView.cpp src/imports/PeReader.cpp \
    src/imports/ElfReader.cpp src/imports/ImportReader.cpp src/support/Exceptions.cpp \
    src/support/Textutil.cpp -o "$out/import_reader_fuzz"

# Seeds: the PE fixtures and a few ELF files of this system.
mkdir -p "$out/seeds"
cp tests/fixtures/imports/win32/* tests/fixtures/imports/win64/* "$out/seeds/" 2>/dev/null || true
for f in /bin/true /bin/ls; do
    [ -f "$f" ] && cp "$f" "$out/seeds/$(basename "$f").elf"
done

cd "$out"
./import_reader_fuzz -max_total_time="$seconds" -max_len=65536 -timeout=5 \
    -print_final_stats=1 corpus seeds
