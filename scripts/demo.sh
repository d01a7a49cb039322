#!/usr/bin/env bash
# Builds the program and makes the demo installation demo/ afresh with
# velmora-demo. Whatever demo/ holds is replaced, data entered while trying
# the program included. Start it afterwards with scripts/run.sh.
# Usage: scripts/demo.sh
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

BUILD=build
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" -j 2 --target velmora velmora-demo

if [[ -d demo ]]; then
  echo "A demo/ könyvtár tartalma (a bemutató adatok és a közben rögzítettek) törlődik, új bemutató telepítés készül."
  rm -rf demo
fi
"$BUILD/tools/velmora-demo" --out demo --program "$BUILD/velmora"
