#!/usr/bin/env bash
# Configures and builds into the given directory (default: build).
# Extra arguments go to cmake's configure step.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-build}
shift || true
cmake -S "$here" -B "$here/$dir" "$@" >/dev/null
cmake --build "$here/$dir" -j"$(nproc)"
