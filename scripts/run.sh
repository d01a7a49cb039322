#!/usr/bin/env bash
# Builds the program and starts it on a demo installation (demo/ in the
# repository root, made once with velmora-demo; scripts/demo.sh makes it
# afresh).
# Usage: scripts/run.sh   (without a display: xvfb-run -a scripts/run.sh)
set -euo pipefail
cd "$(dirname "$0")/.."

# The packages first, so that xvfb-run is there when the message names it.
bash scripts/install-deps.sh

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "Nincs grafikus megjelenítő (a DISPLAY és a WAYLAND_DISPLAY is üres)." >&2
  echo "Virtuális képernyővel így indítható: xvfb-run -a scripts/run.sh" >&2
  exit 1
fi


BUILD=build
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" -j 2 --target velmora velmora-demo

if [[ ! -d demo ]]; then
  "$BUILD/tools/velmora-demo" --out demo --program "$BUILD/velmora"
else
  # Keep the data, refresh the program and its help.
  cp "$BUILD/velmora" demo/velmora
  [[ -d "$BUILD/help" ]] && cp -r "$BUILD/help" demo/
fi

cd demo
exec ./velmora "$@"
