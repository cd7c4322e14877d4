#!/usr/bin/env bash
# Fuzzes with libFuzzer: every target runs for FUZZ_SECONDS (default 60), one after the other.
# FUZZ_TARGETS picks some of them (default: all). Needs clang, which it installs when missing;
# the ordinary build and tests do not.
# Per target in build-fuzz/<target>/: the binary, the grown corpus (corpus/), the seeds and
# any crash, leak or timeout input (crash-*, leak-*, timeout-*). Fails when a target fails.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}
targets=${FUZZ_TARGETS:-"import_reader unit_parser directive_expression lazarus_file"}
out=build-fuzz

if ! command -v clang++ >/dev/null; then
    SUDO=""
    if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -qq
    $SUDO apt-get install -y -qq --no-install-recommends clang
fi

build() { # build <target> <harness> <sources...>
    local target=$1
    shift
    mkdir -p "$out/$target/corpus" "$out/$target/seeds"
    echo "Building $target"
    clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
        -Isrc "$@" -o "$out/$target/fuzz"
}

seeds_import_reader() { # the PE fixtures and a few ELF files of this system
    cp tests/fixtures/imports/win32/* tests/fixtures/imports/win64/* "$1/" 2>/dev/null || true
    for f in /bin/true /bin/ls; do
        [ -f "$f" ] && cp "$f" "$1/$(basename "$f").elf"
    done
}

seeds_unit_parser() {
    cp tests/fuzz/seeds/unit_parser/* "$1/"
}

seeds_directive_expression() {
    cp tests/fuzz/seeds/directive_expression/* "$1/"
}

seeds_lazarus_file() {
    cp tests/fuzz/seeds/lazarus_file/* "$1/"
}

run() { # run <target> <libFuzzer options...>
    local target=$1
    shift
    "seeds_$target" "$out/$target/seeds"
    echo "Fuzzing $target for $seconds s"
    (cd "$out/$target" && ./fuzz -max_total_time="$seconds" -timeout=5 -print_final_stats=1 \
        "$@" "$PWD/corpus" "$PWD/seeds")
}

failed=()
for target in $targets; do
    case $target in
    import_reader)
        build import_reader tests/fuzz/ImportReaderFuzz.cpp src/imports/ByteView.cpp \
            src/imports/PeReader.cpp src/imports/ElfReader.cpp src/imports/ImportReader.cpp \
            src/support/Exceptions.cpp src/support/Textutil.cpp
        run import_reader -max_len=65536 || failed+=("$target")
        ;;
    unit_parser)
        build unit_parser tests/fuzz/UnitParserFuzz.cpp src/scanner/*.cpp src/support/*.cpp \
            src/platform/*.cpp
        run unit_parser -max_len=16384 -dict="$PWD/tests/fuzz/pascal.dict" || failed+=("$target")
        ;;
    directive_expression)
        build directive_expression tests/fuzz/DirectiveExpressionFuzz.cpp src/scanner/*.cpp \
            src/support/*.cpp src/platform/*.cpp
        run directive_expression -max_len=4096 -dict="$PWD/tests/fuzz/pascal.dict" || failed+=("$target")
        ;;
    lazarus_file)
        build lazarus_file tests/fuzz/LazarusFileFuzz.cpp src/config/LazarusProject.cpp src/config/Compiler.cpp \
            src/support/*.cpp src/platform/*.cpp -lpugixml
        run lazarus_file -max_len=16384 || failed+=("$target")
        ;;
    *)
        echo "Unknown fuzz target: $target" >&2
        exit 2
        ;;
    esac
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "Fuzzing found faults in: ${failed[*]} (inputs in $out/<target>/)" >&2
    exit 1
fi
