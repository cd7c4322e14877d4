# Sourced by the scan benchmarks: sets `cli` to the absolute path of the program to time.
# The default one (build-bench-scan, Release without sanitizers) is built when missing; any
# other must already exist. Needs `repo`, `default_cli`, `cli` and `bench` (the script's name).
if [[ ! -x "$cli" ]]; then
    if [[ "$cli" != "$default_cli" ]]; then
        echo "$bench: \"$cli\" is not an executable" >&2
        exit 2
    fi
    echo "Building $cli (Release) ..." >&2
    cmake -S "$repo" -B "$repo/build-bench-scan" -DCMAKE_BUILD_TYPE=Release \
        -DUNITRACE_SANITIZE=OFF -DUNITRACE_GUI=OFF -DUNITRACE_TESTS=OFF >/dev/null
    cmake --build "$repo/build-bench-scan" --target unitrace-cli -j "$(nproc 2>/dev/null || echo 2)" >/dev/null
fi
cli=$(cd "$(dirname "$cli")" && pwd)/$(basename "$cli")
