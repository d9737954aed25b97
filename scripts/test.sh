#!/usr/bin/env bash
# Builds Vorlan with its tests and runs them all; exits non-zero on any failure.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

# wmctrl restores a maximised window as a window manager's button does (end-to-end tests);
# exfatprogs and exfat-fuse make real exFAT disks for the file operations' tests: one
# that refuses some names, one that folds case; btrfs-progs a btrfs disk for the file
# search (run as root; skipped with the reason elsewhere); openssl a self-signed
# certificate for the browser's https tests.
ensure_packages "${BUILD_PACKAGES[@]}" libgtest-dev googletest xvfb xauth xdotool x11-utils openbox wmctrl \
    exfatprogs exfat-fuse btrfs-progs openssl
build_vorlan Release -DVORLAN_BUILD_TESTS=ON
engine_env_for_root
export QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu --disable-background-networking"
cd "$VORLAN_ROOT/build"
# Engine and end-to-end tests each start a virtual display of their own (the end-to-end
# tests start openbox on it); the rest choose the offscreen platform.
ctest --output-on-failure -j"$(nproc)"
bash "$VORLAN_ROOT/scripts/sanitize.sh"
bash "$VORLAN_ROOT/scripts/tsan.sh"
# The fuzz entry points are built with clang: compiling them keeps the code building there.
bash "$VORLAN_ROOT/scripts/fuzz.sh" --compile-only
