#!/usr/bin/env bash
# Installs what is missing, builds the benchmarks in Release mode and runs them.
set -euo pipefail
shopt -s nullglob
cd "$(dirname "$0")/.."

scripts/install-deps.sh bench
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVIREON_BUILD_BENCHMARKS=ON \
  -DVIREON_BUILD_TESTS=OFF >/dev/null
cmake --build build/bench --parallel "$(nproc)"
for benchmark in build/bench/benchmarks/*_benchmarks; do
  "$benchmark" "$@"
done
