#!/usr/bin/env bash
# Takes the user guide's pictures from the editor's own windows: builds make_screenshots
# (preset "default", on top of whatever that build already holds) and runs it headless on
# the demo world. Writes into docs/images/ unless another folder is given.
#
#   bash scripts/screenshots.sh [OUTDIR]
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/images}
export QT_QPA_PLATFORM=offscreen
bash scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default --parallel "$(nproc)" --target make_screenshots
build/default/tests/make_screenshots "$out"
