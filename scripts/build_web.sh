#!/usr/bin/env bash
# Builds the browser version into build/web/site: the program with
# Emscripten, the page beside it, the icons from the art generator (built
# natively in build/web-tools), and the service worker's cache named after
# the build. The Debian packages of parlour_web_packages must be there.
set -euo pipefail
cd "$(dirname "$0")/.."
launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# Debian's Emscripten runs its optimizer on the system's node, which finds
# Debian's acorn only there.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
cmake -S . -B build/web-tools -G Ninja -DCMAKE_BUILD_TYPE=Release -DPARLOUR_QT=OFF \
    -DPARLOUR_TESTS=OFF "${launcher[@]}" >/dev/null
cmake --build build/web-tools --target parlour-cardart
emcmake cmake -S . -B build/web -G Ninja -DCMAKE_BUILD_TYPE=Release -DPARLOUR_QT=OFF \
    -DPARLOUR_TESTS=OFF "${launcher[@]}" >/dev/null
cmake --build build/web --target parlour-web
site=build/web/site
build/web-tools/tools/parlour-cardart --web-icons parlour "$site/icons"
python3 scripts/png_deflate.py "$site"/icons/*.png
# The cache's name changes with any file the page loads.
build=$(cat "$site"/*.html "$site"/*.css "$site"/parlour*.js "$site"/*.wasm "$site"/*.webmanifest \
    "$site"/icons/* | sha256sum | cut -c1-16)
sed "s/@BUILD@/$build/" hosts/web/page/sw.js >"$site/sw.js"
echo "Built the browser version in $site"
