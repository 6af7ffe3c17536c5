#!/usr/bin/env bash
# Redraws grfx/*.png, grfx/opengl.zim and the sample layouts with Debian's python3.
set -euo pipefail
cd "$(dirname "$0")/../.."
exec /usr/bin/python3 tools/artgen/artgen.py "$@"
