#!/usr/bin/env bash
# Builds and runs the benchmarks against their budgets (see bench/*.cpp for the budgets).
set -euo pipefail
cd "$(dirname "$0")"
./tools/install-deps.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVENDARO_BUILD_UI=ON
cmake --build build-bench -j"$(nproc)"
for b in build-bench/bench/*_bench; do
  "$b" "$@"
done
