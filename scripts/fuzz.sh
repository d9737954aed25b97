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

if [ "${1:-}" = "--compile-only" ]; then
    ensure_packages "${BUILD_PACKAGES[@]}" clang libclang-rt-14-dev libgtest-dev googletest
    check_dir="$VORLAN_ROOT/build-fuzz-check"
    launcher=()
    if command -v ccache >/dev/null; then
        launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    fi
    cmake -S "$VORLAN_ROOT" -B "$check_dir" -G Ninja -DCMAKE_BUILD_TYPE=None \
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_CXX_FLAGS="-O0 -g0 -fsanitize=fuzzer-no-link" \
        -DVORLAN_BUILD_TESTS=ON -DVORLAN_LIBFUZZER=ON "${launcher[@]}" >/dev/null
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

ensure_packages "${BUILD_PACKAGES[@]}" clang libclang-rt-14-dev libgtest-dev googletest

build_dir="$VORLAN_ROOT/build-fuzz"
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer -g"
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$VORLAN_ROOT" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_CXX_FLAGS="$flags" \
    -DVORLAN_BUILD_TESTS=ON -DVORLAN_LIBFUZZER=ON "${launcher[@]}" >/dev/null
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
