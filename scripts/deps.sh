# Sourced by ./run and ./test: installs the Debian packages Parlour needs
# when any is missing. ./run needs only what builds the program; ./test also
# the compilers, libraries and tools of the tests.
parlour_program_packages=(cmake ninja-build g++ qt6-base-dev libpng-dev)
parlour_test_packages=(clang libclang-rt-14-dev libgtest-dev libgmock-dev libbenchmark-dev pkg-config python3
                       xvfb xauth xdotool desktop-file-utils appstream)

# parlour_install_dependencies [PACKAGE...]: installs those of the packages
# that are missing.
parlour_install_dependencies() {
    local missing=()
    for p in "$@"; do
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

# The browser version: Emscripten (with the parser its optimizer needs), and
# the native compiler for the art generator that draws the page's icons;
# its tests also need Chromium and Node's package manager for playwright-core.
parlour_web_packages=(emscripten node-acorn cmake ninja-build g++ libpng-dev python3)
parlour_browser_packages=(chromium)
