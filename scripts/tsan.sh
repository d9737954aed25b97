#!/usr/bin/env bash
# Builds the search's tests with ThreadSanitizer into build-tsan/ and runs them; exits
# non-zero on any failure or report. A test that races on purpose runs first and must
# be reported, or the pass is not seeing races at all.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages "${BUILD_PACKAGES[@]}" libgtest-dev googletest

build_dir="$VORLAN_ROOT/build-tsan"
# The library's own checks make a container read what it reads when it checks
# (front() reads the size, which push_back writes): an unlocked read shows as a race.
flags="-O1 -g -fsanitize=thread -fno-omit-frame-pointer -D_GLIBCXX_ASSERTIONS"
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$VORLAN_ROOT" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=None -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" -DVORLAN_BUILD_TESTS=ON -DVORLAN_ENGINE_TESTS=OFF \
    "${launcher[@]}" >/dev/null
# Only the program that holds the search's tests.
cmake --build "$build_dir" -j"${JOBS:-$(nproc)}" --target test_files

export QT_QPA_PLATFORM=offscreen
program="$build_dir/tests/test_files"
# The sanitizer needs the program's memory where it expects it; where the system spreads
# mappings wider than that, the programs run without address-space randomisation.
runner=()
if ! "$program" --gtest_list_tests >/dev/null 2>"$build_dir/probe.log"; then
    if grep -q "ThreadSanitizer" "$build_dir/probe.log"; then
        runner=(setarch "$(uname -m)" -R)
    else
        cat "$build_dir/probe.log" >&2
        exit 1
    fi
fi
export TSAN_OPTIONS="suppressions=$VORLAN_ROOT/scripts/tsan.supp second_deadlock_stack=1 history_size=4 exitcode=66"

# The deliberate race must be reported.
set +e
"${runner[@]}" "$program" --gtest_filter='RaceDetector.*' >"$build_dir/race.log" 2>&1
status=$?
set -e
if [ "$status" -ne 66 ] || ! grep -q "WARNING: ThreadSanitizer: data race" "$build_dir/race.log" \
    || ! grep -q "raiseUnguarded" "$build_dir/race.log"; then
    cat "$build_dir/race.log" >&2
    echo "tsan.sh: the deliberate race was not reported (exit $status): the pass sees nothing" >&2
    exit 1
fi
echo "tsan.sh: the deliberate race is reported"

# The search's own tests must run clean.
"${runner[@]}" "$program" --gtest_filter='FileSearchTest.*:WideTreeTest.*:MovedFolderTest.*:SearchPlaces*' \
    --gtest_repeat="${TSAN_REPEAT:-3}"
echo "tsan.sh: the search's tests run without a report"
