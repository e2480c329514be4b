#!/usr/bin/env bash
# Soak run of the real program against the thermometer simulator (not part of
# CI). The program logs live at one reading a second ("--measure" starts the
# run); every --unplug-every seconds the thermometer is pulled out (the
# simulator ends) and plugged in again at the same port path after
# --unplug-for seconds, and the run must resume by itself. At the end the
# rows of the program's database are compared with what the simulators
# answered: every answered reading stored once, nothing else. Each start of
# the simulator ramps on from where the one before stopped, so that every
# reading of the whole run has a value of its own.
#
# Prints duration, readings answered and stored, missing, duplicates,
# resident memory at start, end and peak, and PASS or FAIL (exit status 0 or 1).
set -euo pipefail

usage() {
  cat <<EOF
usage: $0 [options]
  --duration SECONDS      length of the run (default 3600)
  --unplug-every SECONDS  time between unplugs (default 600)
  --unplug-for SECONDS    how long the thermometer stays out (default 5)
  --build DIR             build directory holding bin/kelvora (default build)
  --offscreen             run without an X server (default: a private Xvfb)
  --keep                  keep the working folder (printed) for inspection
EOF
}

here=$(cd "$(dirname "$0")/.." && pwd)
duration=3600
unplug_every=600
unplug_for=5
build=build
offscreen=0
keep=0
while [ $# -gt 0 ]; do
  case "$1" in
  --duration) duration=$2; shift 2 ;;
  --unplug-every) unplug_every=$2; shift 2 ;;
  --unplug-for) unplug_for=$2; shift 2 ;;
  --build) build=$2; shift 2 ;;
  --offscreen) offscreen=1; shift ;;
  --keep) keep=1; shift ;;
  -h | --help) usage; exit 0 ;;
  *) usage >&2; exit 2 ;;
  esac
done
for n in "$duration" "$unplug_every" "$unplug_for"; do
  if ! [[ "$n" =~ ^[0-9]+$ ]] || [ "$n" -eq 0 ]; then
    echo "durations are whole seconds above 0" >&2
    exit 2
  fi
done

[[ "$build" = /* ]] || build="$here/$build"
bin="$build/bin"
for f in kelvora thermometer-sim Kelvora_en.rav; do
  [ -e "$bin/$f" ] || { echo "missing $bin/$f: build the program first (scripts/build.sh)" >&2; exit 2; }
done

work=$(mktemp -d /tmp/kelvora-soak.XXXXXX)
mkdir -p "$work/program" "$work/run" "$work/config" "$work/xdg" "$work/tmp"
chmod 700 "$work/xdg"
link="$work/thermometer"
sim_pid=""
program_pid=""
xvfb_pid=""

cleanup() {
  for pid in "$program_pid" "$sim_pid" "$xvfb_pid"; do
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
  done
  wait 2>/dev/null || true
  if [ "$keep" = 1 ]; then echo "working folder kept: $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

# The program in a folder of its own: it writes its settings file beside itself.
for f in kelvora kelvora_soundoutput.so Kelvora_en.rav readme_en.chm highalarm.wav lowalarm.wav; do
  if [ -e "$bin/$f" ]; then cp "$bin/$f" "$work/program/"; fi
done
printf '[Kelvora OPTIONS]\nSEARIAL_PORT=%s\nSAMPLE_PERIOD=1\nUNIT_CF=1\nALARMONOFF=0\n' "$link" \
  >"$work/program/KELVORA.INI"

# Starts the next simulator, its ramp beginning at next_start tenths of a degree.
plug=0
next_start=0
plug_in() {
  echo "$plug $next_start" >>"$work/plugs"
  "$bin/thermometer-sim" --link "$link" --profile "ramp:$next_start:1" \
    --log "$work/commands-$plug.log" --answer-log "$work/answers-$plug.log" >"$work/sim-$plug.out" 2>&1 &
  sim_pid=$!
  for _ in $(seq 50); do [ -e "$link" ] && break; sleep 0.1; done
  [ -e "$link" ] || { echo "FAIL: the simulator did not start" >&2; exit 1; }
}

answers_of() {
  local n
  n=$(grep -c ' ATR$' "$work/answers-$1.log" 2>/dev/null) || true
  echo "${n:-0}"
}

# Pulls the thermometer out just after an answer (not in the middle of
# one), so that every answer logged as sent has reached the line.
unplug() {
  local before
  before=$(answers_of "$plug")
  for _ in $(seq 50); do [ "$(answers_of "$plug")" -gt "$before" ] && break; sleep 0.1; done
  sleep 0.3
  kill "$sim_pid"
  wait "$sim_pid" 2>/dev/null || true
  sim_pid=""
  # The next simulator's ramp starts beyond every value this one could have sent.
  next_start=$((next_start + $(answers_of "$plug") + 10))
  plug=$((plug + 1))
}

memory_kb() { awk -v key="$1:" '$1 == key { print $2 }' "/proc/$program_pid/status"; }

if [ "$offscreen" = 1 ]; then
  export QT_QPA_PLATFORM=offscreen
else
  Xvfb -displayfd 4 -screen 0 1280x1024x24 4>"$work/display" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || { echo "FAIL: Xvfb did not start" >&2; exit 1; }
  DISPLAY=":$(head -1 "$work/display")"
  export DISPLAY
  unset QT_QPA_PLATFORM
fi

plug_in
# A temporary folder of its own keeps its single-instance lock apart from any
# other instance on the machine.
(cd "$work/run" && exec env ODBCINI="$work/odbc.ini" XDG_CONFIG_HOME="$work/config" \
  XDG_RUNTIME_DIR="$work/xdg" TMPDIR="$work/tmp" "$work/program/kelvora" --measure >"$work/program.log" 2>&1) &
program_pid=$!

for _ in $(seq 300); do [ "$(answers_of 0)" -gt 0 ] && break; sleep 0.1; done
if [ "$(answers_of 0)" = 0 ]; then
  echo "FAIL: the live run did not start within 30 s; the program said:" >&2
  cat "$work/program.log" >&2
  exit 1
fi
started=$(date +%s)
rss_start=$(memory_kb VmRSS)
echo "run started at $(date -u +%H:%M:%S) UTC for ${duration} s, unplugging every ${unplug_every} s" \
  "for ${unplug_for} s"

next_unplug=$((started + unplug_every))
while :; do
  now=$(date +%s)
  [ "$now" -ge $((started + duration)) ] && break
  if ! kill -0 "$program_pid" 2>/dev/null; then
    echo "FAIL: the program ended during the run; it said:" >&2
    cat "$work/program.log" >&2
    exit 1
  fi
  # The last stretch ends with the thermometer in, so that resuming is seen.
  if [ "$now" -ge "$next_unplug" ] && [ "$now" -lt $((started + duration - unplug_for - 10)) ]; then
    unplug
    echo "$(date -u +%H:%M:%S) unplugged; in again after ${unplug_for} s"
    sleep "$unplug_for"
    plug_in
    next_unplug=$((next_unplug + unplug_every))
  fi
  sleep 1
done

# The end: thermometer out after an answer, then time for the program to
# store the last one.
unplug
sleep 3
ended=$(date +%s)
rss_end=$(memory_kb VmRSS)
rss_peak=$(memory_kb VmHWM)

verdict=0
/usr/bin/python3 - "$work" "$((ended - started))" "$rss_start" "$rss_end" "$rss_peak" <<'EOF' || verdict=1
import collections, os, sqlite3, sys

work, seconds, rss_start, rss_end, rss_peak = sys.argv[1], int(sys.argv[2]), *map(int, sys.argv[3:6])
answered = collections.Counter()
unplugs = -1
for line in open(os.path.join(work, "plugs")):
    plug, start = map(int, line.split())
    unplugs += 1
    with open(os.path.join(work, f"answers-{plug}.log")) as log:
        count = sum(1 for entry in log if entry.split()[1:] == ["ATR"])
    answered.update(range(start, start + count))

# Read-only, beside the running program (the database is in WAL mode).
db = sqlite3.connect("file:" + os.path.join(work, "run", "Kelvora.mdb") + "?mode=ro", uri=True)
rows = db.execute("SELECT recno, meavalue FROM MeaData ORDER BY rowid").fetchall()
stored = collections.Counter(round(value * 10) for _, value in rows)
missing = sum((answered - stored).values())
duplicates = sum(n - 1 for n in stored.values() if n > 1)
unexpected = sum(n for value, n in stored.items() if value not in answered)
numbered = [recno for recno, _ in rows] == list(range(1, len(rows) + 1))

print(f"duration:          {seconds} s, {unplugs} unplugs")
print(f"readings answered: {sum(answered.values())}")
print(f"readings stored:   {len(rows)}")
print(f"missing:           {missing}")
print(f"duplicates:        {duplicates}")
if unexpected:
    print(f"never answered:    {unexpected}")
if not numbered:
    print("row numbers:       not 1..n in order")
print(f"RSS start/end/peak: {rss_start / 1024:.1f} / {rss_end / 1024:.1f} / {rss_peak / 1024:.1f} MiB")
ok = answered and not missing and not duplicates and not unexpected and numbered
sys.exit(0 if ok else 1)
EOF

# The program closes as on SIGTERM; it must end by itself and cleanly.
kill -TERM "$program_pid"
for _ in $(seq 150); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$program_pid" 2>/dev/null; then
  echo "the program did not end within 15 s of SIGTERM"
  verdict=1
else
  wait "$program_pid" && status=0 || status=$?
  program_pid=""
  [ "$status" = 0 ] || { echo "the program ended with status $status"; verdict=1; }
fi
[ "$verdict" = 0 ] && echo PASS || echo FAIL
exit "$verdict"
