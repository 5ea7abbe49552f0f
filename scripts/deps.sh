# Sourced by ./run and ./test: installs the Debian packages Parlour needs
# when any is missing.
parlour_packages=(cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev libgmock-dev
                  libbenchmark-dev qt6-base-dev libpng-dev pkg-config python3 xvfb xauth)

parlour_install_dependencies() {
    local missing=()
    for p in "${parlour_packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local line="apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y ${missing[*]}"
    if [ "$(id -u)" = 0 ]; then
        apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
    elif command -v sudo >/dev/null 2>&1; then
        sudo sh -c "$line"
    else
        echo "Parlour needs these Debian packages. Install them as root with:" >&2
        echo "  $line" >&2
        return 1
    fi
}
