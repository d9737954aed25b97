# Shared by run.sh and test.sh: installs missing Debian packages and builds.
set -euo pipefail

VORLAN_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Installs the packages that are not installed yet; as root with apt-get,
# otherwise it names them and stops.
ensure_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing packages: ${missing[*]}" >&2
        echo "Install them as root: apt-get install ${missing[*]}" >&2
        exit 1
    fi
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

BUILD_PACKAGES=(cmake g++ ninja-build pkg-config
    qt6-base-dev qt6-webengine-dev qt6-webengine-dev-tools libqt6webenginecore6-bin
    qt6-webchannel-dev libgl-dev fonts-dejavu-core
    qt6-translations-l10n)

# Configures (first time) and builds into build/.
build_vorlan() {
    local type="$1"; shift
    cmake -S "$VORLAN_ROOT" -B "$VORLAN_ROOT/build" -G Ninja -DCMAKE_BUILD_TYPE="$type" "$@" >/dev/null
    cmake --build "$VORLAN_ROOT/build" -j"$(nproc)"
}

# The browser engine refuses to run as root with its sandbox on.
engine_env_for_root() {
    if [ "$(id -u)" -eq 0 ]; then
        export QTWEBENGINE_DISABLE_SANDBOX=1
    fi
}
