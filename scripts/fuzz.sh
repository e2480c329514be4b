#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehavior-
# Sanitizer) in build-fuzz and runs them on their seed corpora in fuzz/corpus.
#   scripts/fuzz.sh                 every target for 45 s each (CI)
#   scripts/fuzz.sh --seconds S     every target for S seconds each
#   scripts/fuzz.sh --runs N        every target for N inputs each
#   ... [target ...]                only these targets (reply logfile settings layout helpfile)
# The corpora are copied first, so a run never changes the repository. Any
# finding fails the script, an input that takes longer than 10 s (a hang)
# too; its input is left in build-fuzz/findings/<target>.
set -euo pipefail
cd "$(dirname "$0")/.."

limit=(-max_total_time=45)
targets=()
while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) limit=(-max_total_time="$2"); shift 2 ;;
    --runs) limit=(-runs="$2"); shift 2 ;;
    -*) echo "unknown option $1" >&2; exit 2 ;;
    *) targets+=("$1"); shift ;;
  esac
done
[ ${#targets[@]} -gt 0 ] || targets=(reply logfile settings layout helpfile)

bash scripts/install-deps.sh
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DKELVORA_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  "${launcher[@]}" >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS=detect_leaks=0:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
for t in "${targets[@]}"; do
  work=build-fuzz/fuzz-run/$t
  findings=build-fuzz/findings/$t
  rm -rf "$work"
  mkdir -p "$work" "$findings"
  cp fuzz/corpus/"$t"/* "$work"/
  echo "== fuzz_$t ${limit[*]}"
  build-fuzz/bin/fuzz_"$t" "${limit[@]}" -timeout=10 -dict=fuzz/"$t".dict -artifact_prefix="$findings"/ \
    -print_final_stats=1 "$work"
done
