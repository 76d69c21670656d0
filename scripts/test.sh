#!/usr/bin/env bash
# Sets up, builds and runs every test through ctest: first the default build, then the
# same suite built with AddressSanitizer and UndefinedBehaviorSanitizer (preset "asan",
# build/asan). Any test failing in either build fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=offscreen
bash scripts/build.sh default
ctest --preset default
bash scripts/build.sh asan
ctest --preset asan
