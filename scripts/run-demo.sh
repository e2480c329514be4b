#!/usr/bin/env bash
# Installs what is needed, builds, starts the bundled thermometer simulator
# and runs the program against it. Without a display the program runs on a
# virtual one (Xvfb :99) that screenshots can be taken of.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/install-deps.sh"
"$here/scripts/build.sh" build

bin="$here/build/bin"
link=/tmp/kelvora-thermometer
"$bin/thermometer-sim" --link "$link" --profile sine:3000:800:60 --records 3000 >/dev/null &
sim=$!
trap 'kill $sim 2>/dev/null || true' EXIT

# Point the program's settings at the simulator, keeping everything else.
ini="$bin/KELVORA.INI"
if [ -f "$ini" ] && grep -q '^SEARIAL_PORT=' "$ini"; then
  sed -i "s|^SEARIAL_PORT=.*|SEARIAL_PORT=$link|" "$ini"
elif [ -f "$ini" ] && grep -q '^\[Kelvora OPTIONS\]' "$ini"; then
  sed -i "s|^\[Kelvora OPTIONS\].*|&\nSEARIAL_PORT=$link|" "$ini"
else
  printf '[Kelvora OPTIONS]\nSEARIAL_PORT=%s\n' "$link" >>"$ini"
fi

if [ -z "${DISPLAY:-}" ]; then
  echo "No display: running on the virtual display :99" >&2
  Xvfb :99 -screen 0 1280x1024x24 >/dev/null 2>&1 &
  xvfb=$!
  trap 'kill $sim $xvfb 2>/dev/null || true' EXIT
  export DISPLAY=:99
  sleep 1
fi
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
chmod 700 "$XDG_RUNTIME_DIR"
cd "$bin"
"$bin/kelvora"
