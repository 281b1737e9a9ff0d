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
(cd "$build" && ctest --output-on-failure -j"$(nproc)")

# The end-to-end test of the kana reading through a real input method, when its packages are here.
if [ "$mode" = normal ]; then
  ime_packages=(xvfb xdotool dbus-daemon dbus-bin fcitx5 fcitx5-mozc fcitx5-frontend-qt6)
  ime_missing=()
  for p in "${ime_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || ime_missing+=("$p")
  done
  if [ ${#ime_missing[@]} -gt 0 ]; then
    echo "SKIPPED the input method test (tools/ime-reading-test.sh): not installed: ${ime_missing[*]}"
  elif [ ! -x ../shared/ime/run-real-ime.sh ]; then
    echo "SKIPPED the input method test (tools/ime-reading-test.sh): ../shared/ime/run-real-ime.sh is missing"
  else
    ./tools/ime-reading-test.sh "$build"
  fi
fi
