#!/usr/bin/env bash
# Installs what is missing (Debian 12, as root), builds, and starts the estimate book in the
# program directory ./program (created on first start).
set -euo pipefail
cd "$(dirname "$0")"
./tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)" --target vendaro vendaro-cli
mkdir -p program
cd program
exec ../build/src/vendaro "$@"
