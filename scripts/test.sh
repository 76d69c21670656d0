#!/usr/bin/env bash
# Sets up, builds and runs every test through ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh default
export QT_QPA_PLATFORM=offscreen
ctest --preset default
