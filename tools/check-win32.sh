#!/usr/bin/env bash
# Compiles the Win32 side of the platform layer with mingw-w64, syntax only: it cannot run here,
# but it must keep building for the machines it is written for.
set -euo pipefail
cd "$(dirname "$0")/.."
for source in core/*_win.cpp; do
    x86_64-w64-mingw32-g++-posix -std=c++17 -Wall -Wextra -Werror -fsyntax-only "$source"
done
