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
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/setup.sh"
BRANTEL_ARCHS=x86_64 "$here/scripts/build.sh"

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

cd "$here"
if [ -n "${DISPLAY:-}" ] && [ -z "${BRANTEL_WALKTHROUGH:-}" ]; then
  exec scripts/in-sandbox scripts/with-simcontroller.sh "$here/out/controller" bash -c \
    'scripts/wine-prefix && cd build/run && ../../scripts/wine-run Brantel.exe'
fi
exec scripts/in-sandbox xvfb-run -a -s "-screen 0 1024x768x24" \
  scripts/with-simcontroller.sh "$here/out/session" scripts/walkthrough.sh "$here/out/session"
