#!/usr/bin/env bash
# Renders the windows under Xvfb to PNG on the sample estimates:  tools/screenshot.sh [OUTDIR]
# (default OUTDIR: build/screenshots).
set -euo pipefail
cd "$(dirname "$0")/.."
./tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build -j"$(nproc)" --target vendaro-seed vendaro-screenshots vendaro-render-icon
out=$(realpath -m "${1:-build/screenshots}")
program=$(mktemp -d)
trap 'rm -rf "$program"' EXIT
(cd "$program" && "$OLDPWD/build/tools/vendaro-seed" "$OLDPWD/samples/estimates.csv")
(cd "$program" && VENDARO_TODAY=2026-12-10 XDG_CONFIG_HOME="$program/config" xvfb-run -a -s "-screen 0 1280x1024x24" \
   "$OLDPWD/build/tools/vendaro-screenshots" "$out")
# The desktop menu's entry with its icon, from the files the package installs.
build/packaging/vendaro-render-icon --entry packaging/vendaro.svg packaging/jp.vendaro.Vendaro.desktop "$out/menu-entry.png"
echo "screenshots in $out"
ls "$out"
