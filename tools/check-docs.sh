#!/usr/bin/env bash
# Builds the API documentation of the public headers (build/docs/html) with Doxygen. Any Doxygen
# warning, an undocumented public member among them, fails it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
cmake -S . -B build -G Ninja
cmake --build build --target docs
echo "API documentation: build/docs/html/index.html"
