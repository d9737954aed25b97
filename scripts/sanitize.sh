#!/usr/bin/env bash
# Builds the tests that need no browser engine with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-asan/ and runs them; exits non-zero on any
# failure or sanitizer report.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages "${BUILD_PACKAGES[@]}" libgtest-dev googletest

build_dir="$VORLAN_ROOT/build-asan"
# -O1 keeps the build quick and the reports' stacks readable; the first
# undefined-behaviour finding stops its test program, as an ASan finding does.
flags="-O1 -g1 -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$VORLAN_ROOT" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=None -DCMAKE_CXX_FLAGS="$flags" \
    -DVORLAN_BUILD_TESTS=ON -DVORLAN_ENGINE_TESTS=OFF "${launcher[@]}" >/dev/null
cmake --build "$build_dir" -j"${JOBS:-$(nproc)}"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
cd "$build_dir"
ctest --output-on-failure -j"$(nproc)" -LE engine
