#!/usr/bin/env bash
# Installs build and test dependencies from Debian packages. Does nothing when they are all
# present, so it is cheap to call before every build.
#
#   bash scripts/setup.sh            the Linux build: compiler, Qt 6, GoogleTest, benchmarks
#   bash scripts/setup.sh windows    the Windows cross build: MinGW-w64, zlib for it, Wine
#   bash scripts/setup.sh format     clang-format 14, for scripts/check-format.sh
set -euo pipefail

case ${1:-linux} in
  linux)
    packages=(
      cmake ninja-build g++ pkg-config lld
      qt6-base-dev qt6-svg-dev libgl-dev
      zlib1g-dev
      libgtest-dev libgmock-dev libbenchmark-dev
      xvfb xauth
    )
    ;;
  windows)
    # GoogleTest is built from Debian's sources (package googletest) by the cross compiler.
    packages=(
      cmake ninja-build
      g++-mingw-w64-x86-64-posix libz-mingw-w64-dev googletest
      wine64
    )
    ;;
  format)
    packages=(clang-format-14)
    ;;
  *)
    echo "usage: $0 [linux|windows|format]" >&2
    exit 2
    ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  SUDO=sudo
else
  SUDO=
fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
