#!/usr/bin/env bash
# Configures and builds with the given preset (default: "default"); further arguments name
# the only targets to build (all of them when none are given).
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-default}
shift || true
bash scripts/setup.sh
cmake --preset "$preset" >/dev/null
if [ $# -gt 0 ]; then
  cmake --build --preset "$preset" --parallel "$(nproc)" --target "$@"
else
  cmake --build --preset "$preset" --parallel "$(nproc)"
fi
