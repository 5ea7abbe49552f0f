#!/usr/bin/env bash
# Builds the browser version and prints its budgets' figures (bench/web_budget.js).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
parlour_install_dependencies "${parlour_web_packages[@]}" "${parlour_browser_packages[@]}"
command -v npm >/dev/null 2>&1 || parlour_install_dependencies npm
scripts/build_web.sh >/dev/null
cmake --build build/web-tools --target parlour-headless >/dev/null
(cd tests/web && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error >/dev/null)
exec node bench/web_budget.js
