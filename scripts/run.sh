#!/usr/bin/env bash
# Installs what is missing, builds the release preset and runs the application.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"
if [[ -x build/release/app/quill ]]; then
    exec build/release/app/quill "$@"
fi
echo "The application is not built yet: so far the project has its runtime and libraries, which"
echo "scripts/test.sh builds and tests."
