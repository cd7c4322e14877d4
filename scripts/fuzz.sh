#!/usr/bin/env bash
# Fuzzes every reader with libFuzzer: each target runs for FUZZ_SECONDS (default 60), one after
# the other; FUZZ_TARGETS picks some of them (default: all). Needs clang and lld, which it
# installs when missing; the ordinary build and tests do not.
#
# The harnesses tests/fuzz/<Name>Fuzz.cpp are built by CMake in build-fuzz/ (UNITRACE_FUZZ)
# against the core compiled with coverage and the address and undefined-behaviour sanitizers.
# Per target in build-fuzz/<target>/: the grown corpus (corpus/), the seeds (seeds/) and any
# crash-*, leak-*, oom-* or timeout-* input. Fails when a target fails.
#
# A new target: its harness, its seeds in tests/fuzz/seeds/<target>/ (or a function
# seeds_<target> that writes them into the directory it is given), and one line here.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-60}
out=build-fuzz

# target          harness       libFuzzer options
declared=(
    "import_reader  ImportReader  -max_len=65536"
    "unit_parser    UnitParser    -max_len=140000 -len_control=0 -dict=tests/fuzz/pascal.dict"
    "ini_reader     IniReader     -max_len=8192 -dict=tests/fuzz/ini.dict"
    "registry       Registry      -max_len=16384 -dict=tests/fuzz/registry.dict"
    "map_file       MapFile       -max_len=32768 -dict=tests/fuzz/mapfile.dict"
    "ld_so_conf     LdSoConf      -max_len=4096 -dict=tests/fuzz/ldsoconf.dict"
    "dump_output    DumpOutput    -max_len=16384"
    "cli_options    CliOptions    -max_len=1024 -dict=tests/fuzz/cli.dict"
    "dproj_reader   Dproj         -max_len=16384 -dict=tests/fuzz/dproj.dict"
    "directive_expression DirectiveExpression -max_len=4096 -dict=tests/fuzz/pascal.dict"
    "lazarus_file   LazarusFile   -max_len=16384"
    "rules_file     RulesFile     -max_len=8192"
    "result_json    ResultJson    -max_len=4096 -dict=tests/fuzz/pascal.dict"
    "hygiene        Hygiene       -max_len=65536 -dict=tests/fuzz/pascal.dict"
)

# The system's binaries, and an executable and its library for each other ELF class and byte
# order, linked here so that no binary lives in the repository.
seeds_import_reader() {
    local f
    for f in tests/fixtures/imports/win32/* tests/fixtures/imports/win64/*; do
        cp "$f" "$1/$(basename "$(dirname "$f")")-$(basename "$f")"
    done
    for f in /bin/true /bin/ls; do
        [ -f "$f" ] && cp "$f" "$1/$(basename "$f").elf"
    done
    local tmp
    tmp=$(mktemp -d)
    echo 'int lib(void) { return 1; }' >"$tmp/lib.c"
    echo 'int lib(void); int _start(void) { return lib(); }' >"$tmp/main.c"
    for triple in i386-linux-gnu mips-linux-gnu powerpc64-linux-gnu; do
        clang --target=$triple -fPIC -nostdlib -shared -fuse-ld=lld -Wl,-soname,libseed.so.1 \
            "$tmp/lib.c" -o "$1/libseed-$triple.so"
        clang --target=$triple -nostdlib -fuse-ld=lld -Wl,--no-as-needed -Wl,-e,_start \
            "$tmp/main.c" "$1/libseed-$triple.so" -o "$1/main-$triple.elf"
    done
    rm -rf "$tmp"
}

# The registry fixtures, and a "Version 5.00" export in UTF-16 as regedit writes it.
seeds_registry() {
    cp tests/fixtures/config/*.reg tests/fixtures/config/wine/*.reg "$1/"
    {
        printf '\xff\xfe'
        printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' '[HKEY_CURRENT_USER\Software\A]' \
            '"Path"=hex(2):25,00,41,00,25,00,00,00' '"N"=dword:0000002a' | iconv -f UTF-8 -t UTF-16LE
    } >"$1/version5.reg"
}

# The seeds, and the example project with a first byte that picks nothing.
seeds_dproj_reader() {
    cp tests/fuzz/seeds/dproj_reader/* "$1/"
    { printf '\0'; cat examples/dproj/Inventory.dproj; } >"$1/example.dproj"
}

seeds_map_file() {
    cp tests/fixtures/mapfile/*.map "$1/"
}

# The example's rules (first byte even) and a baseline of its violations (odd).
seeds_rules_file() {
    { printf '\0'; cat examples/demo/rules.toml; } >"$1/rules.toml"
    { printf '\1'; printf '%s\n' '# known' 'data-acyclic: Contacts -> Logger' 'form-size: Main'; } \
        >"$1/baseline.txt"
}

# Command lines, each argument ended by a NUL.
seeds_cli_options() {
    printf '%s\0' P.dpr >"$1/plain"
    printf '%s\0' --format json --registry a.reg --registry b.reg P.dpr >"$1/json"
    printf '%s\0' --format tree --tree usedby --depth 4 P.dpr >"$1/tree"
    printf '%s\0' --search-path 'a;b' --defines X --delphi 5.0 --ignore A,B --use-browse-path P \
        >"$1/paths"
}

# The unit parser's sources, and one with a text form after its NUL.
seeds_hygiene() {
    cp tests/fuzz/seeds/unit_parser/* "$1/"
    printf 'unit P;\ninterface\nuses A, B {x},\n  C; // unitrace: keep\nimplementation\n{$R *.dfm}\nend.\0object F: TF\n  object B: TButton\n    Align = alClient\n  end\nend\n' >"$1/form.pas"
}

# Beside the checked-in sources, a uses list on one line of 65,535, 65,536 and 65,537
# characters: just under the tokenizer's limit, on it and over it.
seeds_unit_parser() {
    cp tests/fuzz/seeds/unit_parser/* "$1/"
    local length
    for length in 65535 65536 65537; do
        {
            printf 'unit L;\ninterface\nuses A, '
            head -c $((length - 13)) /dev/zero | tr '\0' ' '
            printf 'B, C;\nimplementation\nend.\n'
        } >"$1/long-line-$length.pas"
    done
}

# Fields ended by NUL: directory, symbols, P.dpr, U.pas, a document for the diff. Bytes that
# only look like UTF-8 (overlong, a surrogate, above U+10FFFF) in each of them.
seeds_result_json() {
    printf 'd\xed\xa0\x80\0X\xf4\x90\x80\x80;DEBUG\0program P;\nuses U, V in '"'"'V\xe0\x80\x80.pas'"'"';\nbegin end.\n\0unit U;\ninterface\nuses P;\nimplementation\nend.\n\0{"units":[{"key":"U\xf0\x80\x80\x80","uses":[]}]}' \
        >"$1/cycle"
    printf 'caf\xe9\0\0program P;\n{$IFDEF X\xc0\xaf}uses U;{$ENDIF}\nbegin end.\n\0unit U;\ninterface\nuses \xe9;\nimplementation\nend.\n\0' \
        >"$1/conditions"
    printf 'p\0\0program P;\nuses U;\nbegin end.\n\0unit U;\n\0' >"$1/plain"
}

if ! command -v clang++ >/dev/null || ! command -v ld.lld >/dev/null; then
    SUDO=""
    if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -qq
    $SUDO apt-get install -y -qq --no-install-recommends clang lld
fi

declare -A harness options
all=()
for line in "${declared[@]}"; do
    read -r name h opts <<<"$line"
    all+=("$name")
    harness[$name]=$h
    options[$name]=$opts
done
targets=${FUZZ_TARGETS:-${all[*]}}
for target in $targets; do
    if [ -z "${harness[$target]:-}" ]; then
        echo "Unknown fuzz target: $target (known: ${all[*]})" >&2
        exit 2
    fi
done

echo "Building the fuzz targets"
CC=clang CXX=clang++ cmake -S . -B "$out" -DCMAKE_BUILD_TYPE=None -DCMAKE_CXX_FLAGS="-O1 -g" \
    -DUNITRACE_FUZZ=ON -DUNITRACE_SANITIZE=ON -DUNITRACE_GUI=OFF -DUNITRACE_TESTS=OFF >/dev/null
build_targets=()
for target in $targets; do build_targets+=("fuzz_${harness[$target]}"); done
cmake --build "$out" -j "$(nproc 2>/dev/null || echo 2)" --target "${build_targets[@]}" >/dev/null

failed=()
for target in $targets; do
    dir=$PWD/$out/$target
    rm -rf "$dir/seeds"
    mkdir -p "$dir/corpus" "$dir/seeds"
    if declare -F "seeds_$target" >/dev/null; then
        "seeds_$target" "$dir/seeds"
    else
        cp "tests/fuzz/seeds/$target"/* "$dir/seeds/"
    fi
    # shellcheck disable=SC2086 # the options are words
    set -- ${options[$target]}
    opts=("${@/#-dict=/-dict=$PWD/}")
    echo "Fuzzing $target for $seconds s"
    # Readers that take file names change the current directory: every path is absolute.
    "$PWD/$out/tests/fuzz/fuzz_${harness[$target]}" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$dir/" "${opts[@]}" \
        "$dir/corpus" "$dir/seeds" || failed+=("$target")
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "Fuzzing found faults in: ${failed[*]} (inputs in $out/<target>/)" >&2
    exit 1
fi
