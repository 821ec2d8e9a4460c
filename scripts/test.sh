#!/usr/bin/env bash
# Installs what is missing, builds Vireon with AddressSanitizer and
# UndefinedBehaviorSanitizer, runs the fuzz targets briefly and the whole test suite.
set -euo pipefail
shopt -s nullglob
cd "$(dirname "$0")/.."

scripts/install-deps.sh test
jobs="$(nproc)"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan-suppressions.txt"

# Fuzz targets: clang's libFuzzer, each run briefly over a copy of its seed corpus.
cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
  -DVIREON_BUILD_FUZZERS=ON -DVIREON_BUILD_TESTS=OFF -DVIREON_BUILD_APPS=OFF >/dev/null
cmake --build build/fuzz --parallel "$jobs"
for fuzzer in build/fuzz/fuzz/*Fuzzer; do
  name="$(basename "$fuzzer")"
  corpus="$(mktemp -d)"
  cp -r "fuzz/corpus/${name%Fuzzer}/." "$corpus/" 2>/dev/null || true
  log="$corpus.log"
  echo "Fuzzing $name for ${VIREON_FUZZ_SECONDS:-20} s"
  if ! "$fuzzer" -max_total_time="${VIREON_FUZZ_SECONDS:-20}" -max_len=65536 "$corpus" >"$log" 2>&1; then
    cat "$log"
    echo "$name found a failure." >&2
    exit 1
  fi
  tail -n 1 "$log"
  rm -rf "$corpus" "$log"
done

cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVIREON_SANITIZE=ON >/dev/null
cmake --build build/test --parallel "$jobs"
cd build/test
ctest --output-on-failure --parallel "$jobs"
