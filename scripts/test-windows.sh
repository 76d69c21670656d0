#!/usr/bin/env bash
# Builds the library and its GoogleTest suites for 64-bit Windows with Debian's MinGW-w64
# cross compiler (preset "windows", build/windows) and runs them under Wine through ctest,
# whose summary ends the run. Any failing test fails it. The tests that need Linux are
# listed with their reasons in tests/LinuxOnlyTests.cmake; ctest shows them as not run.
# Wine now and then fails to start a program, or leaves one hanging after it finished; the
# preset runs a test that failed or timed out once more, so only a repeated failure counts.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh windows

# The same Wine prefix and settings as the emulator that the toolchain file gives ctest.
build=$PWD/build/windows
export WINEPREFIX=$build/wineprefix
export WINEDEBUG=-all
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver

# The prefix is made once, before anything runs in it: its first start takes several
# seconds, and two test programs starting it at once could each wait on the other.
mkdir -p "$build"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Making the Wine prefix in $WINEPREFIX"
  "$wine" wineboot --init >/dev/null 2>&1 || true
  "$wineserver" -w
fi
# One Wine server for the whole run rather than one per test program; gone at the end.
"$wineserver" -p
trap '"$wineserver" -k >/dev/null 2>&1 || true' EXIT
# The first program of a new server starts Wine's own services; two programs doing that at
# once (ctest runs two at a time) can leave one hanging after it has finished. One program
# alone starts them first.
timeout 120 "$wine" cmd /c exit >/dev/null 2>&1 || echo "Wine took long to start its services"

cmake --preset windows >/dev/null
cmake --build --preset windows --parallel "$(nproc)"
ctest --preset windows
