#!/usr/bin/env bash
# Builds the browser version and plays it in Debian's Chromium, headless,
# driven by playwright-core (from npm; it downloads no browser). ./test runs
# this; it installs what it needs.
set -euo pipefail
cd "$(dirname "$0")/../.."
. scripts/deps.sh
parlour_install_dependencies "${parlour_web_packages[@]}" "${parlour_browser_packages[@]}"
# Node's package manager comes with Debian's npm, unless node came with its own.
command -v npm >/dev/null 2>&1 || parlour_install_dependencies npm
scripts/build_web.sh
# The driver the page's pixels are checked against.
cmake --build build/web-tools --target parlour-headless
cd tests/web
PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error
exec node --test web.test.js
