#!/usr/bin/env bash
# Installs what is missing, builds, starts the simulated controller (an M520
# at 127.0.0.2 over SSH/SFTP and an M410 at 127.0.0.3 over FTP) and opens
# Brantel against it, all inside a private network namespace in which only
# loopback exists.
#
# With a display the console opens on it and the engineer works in the
# window; closing the console stops the controller. Without a display it
# runs under Xvfb and walks through one session by itself (scripts/walkthrough.sh),
# leaving screenshots, the controller's log and its file tree in out/session/.
# BRANTEL_WALKTHROUGH=1 asks for the walk-through even where there is a display.
#
# The terminal gets a line per step; everything else goes to files: set-up
# and build to out/setup.log and out/build.log, the program's standard
# output and error, and its session record, to out/session/.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
mkdir -p "$here/out"

# quietly WHAT LOG COMMAND...: runs COMMAND with its output in LOG; shows the
# end of LOG only when it fails.
quietly() {
  local what=$1 log=$2
  shift 2
  echo "run: $what (log: ${log#"$here"/})"
  "$@" >"$log" 2>&1 || { tail -n 30 "$log" >&2; echo "run: $what failed" >&2; exit 1; }
}
quietly "set-up: checking what Brantel needs, installing what is missing" "$here/out/setup.log" "$here/scripts/setup.sh"
quietly "building the x86-64 program" "$here/out/build.log" env BRANTEL_ARCHS=x86_64 "$here/scripts/build.sh"

# The working folder: the program, its files, a key pair for the M520 made
# the way ssh-keygen makes one by default (the program reads it from "~/.ssh"
# under the working folder) and the settings pointing at the simulated M520.
work="$here/build/run"
mkdir -p "$work/~/.ssh"
cp "$here/build/x86_64/bin/"* "$work/"
# The demo's host library probes nothing outside 127.0.0.0/8.
cp "$here/build/x86_64/tests/fixtures/loopback/KelvoX.dll" "$work/"
cp "$here/packaging/loginset.ini" "$work/"
[ -f "$work/~/.ssh/id_rsa" ] || ssh-keygen -q -N '' -C brantel -f "$work/~/.ssh/id_rsa"
printf '[Brantel]\r\nIP=127.0.0.2\r\n' > "$work/Brantel.cfg"
# The simulated M520 keeps its host keys in the working folder from one run
# to the next (scripts/with-simcontroller.sh). Until it has made them it is a
# new controller: a key remembered from an earlier one would only raise the
# question about a changed key.
[ -d "$work/simcontroller-host-keys" ] || rm -f "$work/known_hosts"

cd "$here"
if [ -n "${DISPLAY:-}" ] && [ -z "${BRANTEL_WALKTHROUGH:-}" ]; then
  echo "run: the simulated controller (M520 at 127.0.0.2, M410 at 127.0.0.3) and the console;"
  echo "     close the console to stop. Its output, the record and the controller's log go to out/session/"
  exec scripts/in-sandbox scripts/with-simcontroller.sh "$here/out/session" bash -c \
    'scripts/wine-prefix && cd build/run &&
     ../../scripts/wine-run Brantel.exe >"$1/program-stdout.txt" 2>"$1/program-stderr.txt"' \
    bash "$here/out/session"
fi
echo "run: no display: the console runs under Xvfb and walks through a session by itself"
exec scripts/in-sandbox xvfb-run -a -s "-screen 0 1024x768x24" \
  scripts/with-simcontroller.sh "$here/out/session" scripts/walkthrough.sh "$here/out/session"
