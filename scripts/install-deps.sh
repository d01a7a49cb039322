#!/usr/bin/env bash
# Installs what Velmora needs to build, run and test on Debian 12.
# Idempotent: packages already present are skipped quickly.
set -euo pipefail

PKGS=(
  build-essential cmake ninja-build pkg-config ccache clang
  libsqlite3-dev libicu-dev libsodium-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev qt6-webengine-dev
  xvfb xauth fonts-liberation poppler-utils
  python3-dbf gdal-bin arj faketime
  cups printer-driver-cups-pdf
  qt6-charts-dev libxlsxwriter-dev python3-openpyxl
)

missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
  SUDO=""
  [[ $(id -u) -ne 0 ]] && SUDO="sudo"
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
