#!/usr/bin/env bash
# Builds Vorlan when needed and starts it with the given arguments.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages "${BUILD_PACKAGES[@]}"
build_vorlan Release -DVORLAN_BUILD_TESTS=OFF
engine_env_for_root
exec "$VORLAN_ROOT/build/vorlan" "$@"
