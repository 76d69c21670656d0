#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan, UBSan; preset "fuzz") and runs each one from
# its seed corpus for SECONDS seconds (default 30), one after the other. Inputs found along
# the way go to build/fuzz/corpus/<target>/, a crashing input to build/fuzz/artifacts/.
# Exits non-zero when any target finds a fault.
#
#   bash scripts/fuzz.sh [SECONDS] [TARGET...]     e.g. bash scripts/fuzz.sh 600 xml_parser
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
shift || true

bash scripts/setup.sh
if ! command -v clang++ >/dev/null; then
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends clang
fi
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --parallel "$(nproc)"

out=build/fuzz
if [ $# -gt 0 ]; then
  targets=("$@")
else
  targets=()
  for exe in "$out"/fuzz/fuzz_*; do
    targets+=("$(basename "$exe" | sed 's/^fuzz_//')")
  done
fi

# Extra libFuzzer flags per target: longer inputs for whole tables, a dictionary for XML.
flags_for() {
  case $1 in
    radar_colours) echo "-max_len=33000" ;;
    land_art) echo "-max_len=12000" ;;
    uop_container) echo "-max_len=8192" ;;
    xml_parser|tile_list|bookmarks) echo "-dict=fuzz/dict/xml.dict" ;;
    *) echo "" ;;
  esac
}

failed=()
for t in "${targets[@]}"; do
  exe=$out/fuzz/fuzz_$t
  work=$out/corpus/$t
  artifacts=$out/artifacts/$t
  mkdir -p "$work" "$artifacts"
  echo "== fuzz_$t: ${seconds}s"
  # shellcheck disable=SC2046
  if ! "$exe" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2560 -print_final_stats=1 \
      -artifact_prefix="$artifacts/" $(flags_for "$t") "$work" "fuzz/corpus/$t" \
      >"$out/fuzz_$t.log" 2>&1; then
    failed+=("$t")
    tail -n 40 "$out/fuzz_$t.log"
  fi
  grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb)|^#[0-9]+ +DONE' "$out/fuzz_$t.log" || true
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found faults in: ${failed[*]} (inputs in $out/artifacts/)"
  exit 1
fi
echo "fuzzing: ${#targets[@]} targets ran ${seconds}s each without a finding"
