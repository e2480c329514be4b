#!/usr/bin/env bash
# Installs every Debian package the program, its tests, its demo and its
# Debian package need.
set -euo pipefail

packages=(
  build-essential cmake pkg-config dpkg-dev file desktop-file-utils lintian appstream strace
  clang libclang-rt-dev
  qt6-base-dev qt6-serialport-dev libqt6sql6-sqlite qt6-charts-dev libqt6charts6-dev libqt6opengl6-dev
  qt6-multimedia-dev pulseaudio pulseaudio-utils
  libjpeg-dev libgl-dev libxlsxwriter-dev zlib1g-dev
  fp-utils libchm-dev
  unixodbc libsqliteodbc
  xvfb xauth x11-utils imagemagick poppler-utils
  libsqlite3-dev sqlite3
  fonts-wqy-microhei
  libreoffice-calc-nogui
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
