#!/usr/bin/env bash
# Sets up, builds, writes the demo data set into demo/ and starts the editor on it. Only the
# editor, tbmap and the default catalogues are built here; scripts/test.sh builds the tests
# and benchmarks.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh default tbmapedit tbmap default_catalogues
bin=build/default/bin
demo=$PWD/demo
"$bin/tbmap" demo "$demo"
if [ -x "$bin/tbmapedit" ]; then
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != offscreen ]; then
    echo "No display found: the editor needs a desktop session. Demo data is in $demo;"
    echo "the map it holds:"
    exec "$bin/tbmap" info "$demo/map0.mul"
  fi
  # The demo runs on a settings file of its own, so the user's stored paths stay as they are.
  # Values are quoted for the INI reader: a comma or semicolon in a path stays part of it.
  ini_value() {
    local v=${1//\\/\\\\}
    printf '"%s"' "${v//\"/\\\"}"
  }
  settings=$demo/settings.ini
  {
    printf '[General]\n'
    printf 'MAPx.mul=%s\n' "$(ini_value "$demo/map0.mul")"
    printf 'UOPath=%s\n' "$(ini_value "$demo/game")"
  } > "$settings"
  echo "Starting the editor on $demo/map0.mul; press Load to open the map."
  exec "$bin/tbmapedit" --settings "$settings"
else
  exec "$bin/tbmap" info "$demo/map0.mul"
fi
