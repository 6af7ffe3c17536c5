#!/usr/bin/env bash
# Sets up a fresh machine, builds the program alone (no tests, benchmarks or tools) and starts it
# on an example patch.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build-example -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSARO_TESTS=OFF -DTESSARO_BENCH=OFF >/dev/null
cmake --build build-example --target tessaro -j"$(nproc)"
exec ./build-example/tessaro "${1:-KVX/BASSLINE.KVX}"
