#!/usr/bin/env bash
# Installs what is needed, builds and runs the whole test suite.
# With --sanitize, builds into build-asan with AddressSanitizer and
# UndefinedBehaviorSanitizer and fails on any report.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/install-deps.sh"

dir=build
args=()
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-asan
  args=(-DKELVORA_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
  export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi
"$here/scripts/build.sh" "$dir" "${args[@]}"

export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
chmod 700 "$XDG_RUNTIME_DIR"
cd "$here/$dir"
ctest --output-on-failure -j2
