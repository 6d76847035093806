#!/usr/bin/env bash
# Installs what is missing, builds the release preset and runs the application.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)" --target quill bundles
exec build/release/app/quill "$@"
