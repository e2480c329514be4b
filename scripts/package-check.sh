#!/usr/bin/env bash
# Builds the Debian package, installs it with apt-get and checks the installed
# program: the commands run, the files lie where they belong, a normal user
# refused by a serial port is told how to get access, and the program started
# by that user keeps its settings in ~/.config/Kelvora and does not even try
# to write beside its executable (the user may not, so a try would fail and
# lose what it meant to keep). The package is removed again at the end unless
# it was installed before. Run as root.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
user=${KELVORA_CHECK_USER:-kelvora-check}
libdir=/usr/lib/kelvora

fail() {
  echo "package-check: FAILED: $*" >&2
  exit 1
}
step() { echo "package-check: $*"; }

[ "$(id -u)" -eq 0 ] || fail "run as root (it installs the package and creates a user)"

installed() { dpkg-query -W -f='${Status}' kelvora 2>/dev/null | grep -q 'install ok installed'; }
# A package that was installed before stays installed (as the new build).
was_installed=
! installed || was_installed=yes
sim_pid=
joined=
work=$(mktemp -d)
chmod 755 "$work"
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
  [ -n "$joined" ] && gpasswd -d "$user" dialout >/dev/null
  if [ -z "$was_installed" ] && installed; then
    step "removing the package"
    DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq kelvora >/dev/null || echo "package-check: apt-get remove failed" >&2
  fi
  rm -rf "$work"
}
trap cleanup EXIT

step "building the package"
deb=$(bash "$here/scripts/package.sh" | tail -n 1)
[ -f "$deb" ] || fail "package.sh printed no package path"
step "lintian $deb"
# Any error or warning fails; an override needs its reason written beside it.
lintian --fail-on error,warning --no-tag-display-limit "$deb" || fail "lintian found errors or warnings"
step "appstreamcli validate"
metainfo=$work/metainfo
mkdir "$metainfo"
dpkg-deb --fsys-tarfile "$deb" | tar -x -C "$metainfo" ./usr/share/metainfo ||
  fail "the package holds no AppStream metadata"
for f in "$metainfo"/usr/share/metainfo/*.metainfo.xml; do
  [ -f "$f" ] || fail "the package holds no AppStream metadata"
  appstreamcli validate --no-net "$f" || fail "appstreamcli refused $(basename "$f")"
done
step "installing $deb"
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null ||
  fail "apt-get install $deb did not succeed"
for f in kelvora kelvora_soundoutput.so kelvora-cli thermometer-sim Kelvora_en.rav readme_en.chm highalarm.wav lowalarm.wav; do
  [ -f "$libdir/$f" ] || fail "$libdir/$f is not installed"
done
for cmd in kelvora kelvora-cli kelvora-thermometer-sim; do
  [ -L "/usr/bin/$cmd" ] || fail "/usr/bin/$cmd is not a symlink"
  case $(readlink "/usr/bin/$cmd") in /*) fail "/usr/bin/$cmd is not a relative symlink" ;; esac
  [ -x "/usr/bin/$cmd" ] || fail "/usr/bin/$cmd does not lead to an executable"
done
desktop=/usr/share/applications/org.example.kelvora.desktop
[ -f "$desktop" ] || fail "the desktop entry is not installed"
[ -f /usr/share/icons/hicolor/scalable/apps/kelvora.svg ] || fail "the icon is not installed"
for page in kelvora kelvora-cli kelvora-thermometer-sim; do
  zcat "/usr/share/man/man1/$page.1.gz" | grep -q '^\.TH' || fail "the manual page of $page is not installed"
done
zcat /usr/share/doc/kelvora/changelog.gz | head -n 1 | grep -q '^kelvora (' || fail "the changelog is not installed"
grep -q '^License: GPL-3+' /usr/share/doc/kelvora/copyright || fail "the copyright file is not installed"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || fail "desktop-file-validate refused the entry"
else
  step "desktop-file-validate is not installed: entry not validated"
fi

step "kelvora-cli --help"
kelvora-cli --help >/dev/null || fail "kelvora-cli --help did not succeed"
kelvora-cli info --help >/dev/null || fail "kelvora-cli info --help did not succeed"

id "$user" >/dev/null 2>&1 || useradd -m -s /bin/bash "$user" || fail "cannot create the user $user"
! id -nG "$user" | grep -qw dialout || fail "the user $user must not be in the group dialout"
home=$(getent passwd "$user" | cut -d: -f6)
as_user() { runuser -l "$user" -c "$1"; }
rm -rf "$home/.config/Kelvora"

step "starting the simulator as root"
kelvora-thermometer-sim >"$work/sim.out" 2>"$work/sim.err" &
sim_pid=$!
for _ in $(seq 50); do
  [ -s "$work/sim.out" ] && break
  sleep 0.1
done
pty=$(head -n 1 "$work/sim.out")
[ -c "$pty" ] || fail "the simulator printed no device ($(cat "$work/sim.err"))"
stat -c '%n: owner %U, group %G, mode %a' "$pty"

# kelvora-cli info as the user on the simulator's device: expects a failure
# whose message holds the given hint.
info_refused() {
  set +e
  as_user "timeout 30 kelvora-cli info --port $pty" >"$work/info.out" 2>"$work/info.err"
  local status=$?
  set -e
  cat "$work/info.err"
  [ "$status" -ne 0 ] || fail "kelvora-cli info succeeded on a port the user may not open"
  [ "$status" -ne 124 ] || fail "kelvora-cli info did not end"
  grep -qF "$1" "$work/info.err" || fail "kelvora-cli info gave not the hint: $1"
}

step "kelvora-cli info as $user on root's $pty"
if [ $((0$(stat -c %a "$pty") & 060)) -eq 060 ]; then
  info_refused "add your user to the group '$(stat -c %G "$pty")' that owns $pty"
else
  info_refused "only the user '$(stat -c %U "$pty")' may read and write $pty"
fi

step "the same device as a serial port of the group dialout"
chgrp dialout "$pty"
chmod 660 "$pty"
info_refused "Permission denied: add your user to the group 'dialout' that owns $pty (sudo usermod -aG dialout \$USER) and log in again."
usermod -aG dialout "$user"
joined=yes
set +e
as_user "timeout 30 kelvora-cli info --port $pty" >"$work/info.out" 2>"$work/info.err"
status=$?
set -e
[ "$status" -eq 0 ] || fail "kelvora-cli info as a member of dialout did not succeed: $(cat "$work/info.err")"
cat "$work/info.out"

step "starting kelvora as $user and ending it with SIGTERM"
# The program's running mark beside the database (the working directory,
# here the home folder) tells that it is up; SIGTERM ends it as Exit does.
# strace notes every file the program names, tried or done: the user cannot
# write beside the executable, so a look at the folder afterwards would show
# nothing even if the program tried. The trace's first line is the
# program's own start, led by its process id.
as_user 'export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$(mktemp -d)
rm -f Kelvora.running kelvora.trace
strace -f -qq -s 4096 -e trace=%file -o kelvora.trace kelvora >kelvora.out 2>&1 &
tracer=$!
for _ in $(seq 150); do [ -e Kelvora.running ] && break; sleep 0.1; done
[ -e Kelvora.running ] || { echo "kelvora did not start:"; cat kelvora.out; kill -KILL $tracer; exit 1; }
pid=$(head -n 1 kelvora.trace | cut -d " " -f 1)
sleep 1
kill -TERM $pid
for _ in $(seq 100); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
if kill -0 $pid 2>/dev/null; then echo "kelvora did not end on SIGTERM"; kill -KILL $pid; exit 1; fi
wait $tracer' || fail "the program did not start and end as $user"
[ -f "$home/.config/Kelvora/KELVORA.INI" ] || fail "no settings file in $home/.config/Kelvora"
[ "$(stat -c %U "$home/.config/Kelvora/KELVORA.INI")" = "$user" ] || fail "the settings file is not the user's"
# Looking at a file or reading it is fine; any other call naming a path in
# the program's folder (an open to write or create, mkdir, rename, unlink,
# chmod, ...) is a try to change it.
tries=$(grep -F "\"$libdir" "$home/kelvora.trace" |
  grep -Ev '^[0-9]+ +(execve|access|faccessat2?|stat|lstat|newfstatat|statx|readlinkat|readlink|statfs|l?getxattr|l?listxattr|inotify_add_watch)\(' |
  grep -Ev '^[0-9]+ +open(at)?\(([^,"]*, )?"[^"]*", O_RDONLY(\|O_(CLOEXEC|DIRECTORY|NONBLOCK|NOCTTY|LARGEFILE|NOFOLLOW|PATH))*([,) ]|$)' ||
  true)
[ -z "$tries" ] || fail "kelvora run by $user tried to write into $libdir:
$tries"

step "all checks passed"
