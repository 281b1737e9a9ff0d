#!/usr/bin/env bash
# Builds the Debian package build/package/vendaro_<version>_amd64.deb:  tools/package.sh
# Install it with:  apt-get install ./build/package/vendaro_<version>_amd64.deb
set -euo pipefail
cd "$(dirname "$0")/.."
./tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build -j"$(nproc)" --target vendaro vendaro-cli vendaro-install-files
(cd build && cpack -G DEB --config CPackConfig.cmake | grep -F 'generated')
