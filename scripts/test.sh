#!/usr/bin/env bash
# Builds Vorlan with its tests and runs them all; exits non-zero on any failure.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

# exfatprogs and exfat-fuse make real exFAT disks for the file operations' tests: one
# that refuses some names, one that folds case; btrfs-progs a btrfs disk for the file
# search (run as root; skipped with the reason elsewhere); openssl a self-signed
# certificate for the browser's https tests.
ensure_packages "${BUILD_PACKAGES[@]}" libgtest-dev googletest xvfb xauth xdotool x11-utils openbox \
    exfatprogs exfat-fuse btrfs-progs openssl
build_vorlan Release -DVORLAN_BUILD_TESTS=ON
engine_env_for_root
export QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu --disable-background-networking"
cd "$VORLAN_ROOT/build"
# Engine and end-to-end tests need a display (the end-to-end tests start openbox on it);
# the rest choose the offscreen platform.
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j"$(nproc)"
bash "$VORLAN_ROOT/scripts/sanitize.sh"
bash "$VORLAN_ROOT/scripts/tsan.sh"
# The fuzz entry points are built with clang: compiling them keeps the code building there.
bash "$VORLAN_ROOT/scripts/fuzz.sh" --compile-only
