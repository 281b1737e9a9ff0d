#!/usr/bin/env bash
# Installs what is missing (Debian 12, as root), builds, and runs every test.
#   ./test.sh             the normal build and all tests
#   ./test.sh --sanitize  the logic library and its tests under AddressSanitizer and UBSan
set -euo pipefail
cd "$(dirname "$0")"
./tools/install-deps.sh

mode=normal
[ "${1:-}" = "--sanitize" ] && mode=sanitize

if [ "$mode" = sanitize ]; then
  build=build-sanitize
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVENDARO_SANITIZE=ON -DVENDARO_BUILD_UI=OFF \
        -DVENDARO_BUILD_BENCH=OFF -DVENDARO_WERROR=ON
else
  build=build
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVENDARO_WERROR=ON
fi
cmake --build "$build" -j"$(nproc)"
# Every test, the end-to-end roads (label e2e: the real program under X, the input method, a
# printer queue) included.
(cd "$build" && ctest --output-on-failure -j"$(nproc)")
