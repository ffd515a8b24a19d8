#!/usr/bin/env bash
# Installs the Debian 12 packages needed to build, test and benchmark the project.
# Packages already present are skipped, so a second run costs nothing.
set -euo pipefail

packages=(
    build-essential
    cmake
    ninja-build
    pkg-config
    qtbase5-dev
    qtbase5-dev-tools
    libqt5sql5-sqlite
    qtdeclarative5-dev
    qttools5-dev-tools
    libbenchmark-dev
    sqlite3
    clang-format
    g++-mingw-w64-x86-64-posix
    socat
    libqt5serialport5-dev
    clang
    libclang-rt-14-dev
    doxygen
    python3
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
    sudo=()
else
    sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
