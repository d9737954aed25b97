#!/usr/bin/env bash
# Builds one fuzz entry point with libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer (clang, into build-fuzz/) and runs it for a while.
#
#   bash scripts/fuzz.sh TARGET SECONDS [LIBFUZZER_OPTION...]
#   bash scripts/fuzz.sh --compile-only
#
# TARGET is one of: registry settings favorite links address title.
# New inputs go to build-fuzz/run-TARGET/corpus; a crash or a broken property
# leaves its input in build-fuzz/run-TARGET/ (crash-*, leak-*, timeout-*). Copy a
# small, telling one into tests/fuzz/corpus/TARGET/ so every build replays it.
# Extra options go to libFuzzer, e.g. -fork=1 -ignore_crashes=1 to go on after a
# finding. --compile-only builds every fuzz entry point with clang, unoptimised and
# without running anything (into build-fuzz-check/), so that CI notices quickly
# when the code stops building with clang.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

# configure_clang BUILD_DIR BUILD_TYPE FLAGS: a clang build of the fuzz entry points.
configure_clang() {
    ensure_packages "${BUILD_PACKAGES[@]}" clang libclang-rt-14-dev libgtest-dev googletest
    local launcher=()
    if command -v ccache >/dev/null; then
        launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    fi
    cmake -S "$VORLAN_ROOT" -B "$1" -G Ninja -DCMAKE_BUILD_TYPE="$2" \
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_CXX_FLAGS="$3" \
        -DVORLAN_BUILD_TESTS=ON -DVORLAN_LIBFUZZER=ON "${launcher[@]}" >/dev/null
}

if [ "${1:-}" = "--compile-only" ]; then
    check_dir="$VORLAN_ROOT/build-fuzz-check"
    configure_clang "$check_dir" None "-O0 -g0 -fsanitize=fuzzer-no-link"
    targets=()
    for seeds in "$VORLAN_ROOT"/tests/fuzz/corpus/*/; do
        targets+=("fuzz_$(basename "$seeds")")
    done
    exec cmake --build "$check_dir" --target "${targets[@]}" -j"${JOBS:-$(nproc)}"
fi

if [ $# -lt 2 ]; then
    echo "usage: $0 TARGET SECONDS [LIBFUZZER_OPTION...]" >&2
    exit 2
fi
target="$1"
seconds="$2"
shift 2
source_dir="$VORLAN_ROOT/tests/fuzz"
if [ ! -d "$source_dir/corpus/$target" ]; then
    echo "unknown target: $target (known: $(ls "$source_dir/corpus" | tr '\n' ' '))" >&2
    exit 2
fi

build_dir="$VORLAN_ROOT/build-fuzz"
configure_clang "$build_dir" Release \
    "-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer -g"
cmake --build "$build_dir" --target "fuzz_$target" -j"${JOBS:-$(nproc)}"

run_dir="$build_dir/run-$target"
mkdir -p "$run_dir/corpus"
cd "$run_dir"
# The first folder receives what the run finds; the checked-in seeds stay untouched.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
exec "$build_dir/tests/fuzz/fuzz_$target" "$run_dir/corpus" "$source_dir/corpus/$target" \
    -dict="$source_dir/dict/$target.dict" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
    -rss_limit_mb=2048 -artifact_prefix="$run_dir/" -print_final_stats=1 "$@"
