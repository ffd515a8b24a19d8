#!/usr/bin/env bash
# The main job: installs what the project needs, builds it and runs the settings demo, which
# writes a few named settings in a temporary working directory and reads them back.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
cmake -S . -B build -G Ninja
cmake --build build
build/examples/settingsdemo/settingsdemo
