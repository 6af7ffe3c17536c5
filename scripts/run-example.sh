#!/usr/bin/env bash
# Sets up a fresh machine, builds tessaro and starts it on an example patch.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
exec ./build/tessaro "${1:-KVX/BASSLINE.KVX}"
