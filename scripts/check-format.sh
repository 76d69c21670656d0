#!/usr/bin/env bash
# Fails when a C++ file of the repository differs from what clang-format 14 (Debian's, the
# version CI uses) makes of it with the project's .clang-format, and lists those files.
# `clang-format-14 -i FILE...` formats them.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh format

mapfile -t files < <(git ls-files -- '*.cpp' '*.h' '*.hpp' '*.cc')
if [ ${#files[@]} -eq 0 ]; then
  echo "check-format: no C++ files found" >&2
  exit 1
fi
# One run over every file; each change it would make is a warning naming the file.
mapfile -t unformatted < <(clang-format-14 --dry-run "${files[@]}" 2>&1 |
  sed -n 's/^\(.*\):[0-9]*:[0-9]*: warning: code should be clang-formatted.*/\1/p' | sort -u)
if [ ${#unformatted[@]} -gt 0 ]; then
  echo "check-format: ${#unformatted[@]} of ${#files[@]} files are not formatted" \
       "(clang-format-14 -i FILE):"
  printf '  %s\n' "${unformatted[@]}"
  exit 1
fi
echo "check-format: all ${#files[@]} C++ files are formatted"
