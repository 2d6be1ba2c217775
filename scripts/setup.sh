# Shared set-up of run.sh and test.sh, meant to be sourced: installs the Debian packages the guide
# needs that are missing, and configures and builds a CMake preset.

guide_packages=(
    # Compiler and build tools.
    g++ cmake ninja-build pkg-config
    # Qt 6 Widgets; Qt's CMake files also look for the OpenGL headers.
    qt6-base-dev libgl-dev
    # The decoder of the board photograph.
    libjpeg62-turbo-dev
    # Tests and benchmarks.
    libgtest-dev libgmock-dev libbenchmark-dev
    # A virtual display with a window manager, and the tools that drive and photograph it.
    xvfb xauth openbox xdotool imagemagick x11-utils fonts-dejavu-core
)

install_missing_packages() {
    if ! command -v dpkg-query >/dev/null; then
        echo "warning: not a Debian system; make sure these are installed: ${guide_packages[*]}" >&2
        return 0
    fi
    local package missing=()
    for package in "${guide_packages[@]}"; do
        if [[ "$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null)" != "install ok installed" ]]; then
            missing+=("$package")
        fi
    done
    if ((${#missing[@]} == 0)); then
        return 0
    fi
    local as_root=()
    if ((EUID != 0)); then
        if ! command -v sudo >/dev/null; then
            echo "error: these packages are missing and installing them needs root or sudo: ${missing[*]}" >&2
            return 1
        fi
        as_root=(sudo)
    fi
    echo "Installing missing packages: ${missing[*]}"
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
}

# Configures and builds one of the presets of CMakePresets.json (release, asan) in build/<preset>:
# every target, or only the targets named after the preset.
build_preset() {
    local preset=$1
    shift
    cmake --preset "$preset"
    if (($# > 0)); then
        cmake --build --preset "$preset" --target "$@"
    else
        cmake --build --preset "$preset"
    fi
}
