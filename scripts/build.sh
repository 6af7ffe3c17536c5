#!/usr/bin/env bash
# Builds tessaro (build/) and, with --sanitize, the sanitizer build of the tests (build-asan/).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"
if [ "${1:-}" = "--sanitize" ]; then
  cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTESSARO_SANITIZE=ON -DTESSARO_BENCH=OFF >/dev/null
  cmake --build build-asan -j"$jobs"
fi
