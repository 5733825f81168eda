#!/usr/bin/env bash
# with-simcontroller.sh OUT COMMAND...: starts the simulated controller
# (inside the private namespace), runs COMMAND, stops the controller and
# leaves its log and file trees in OUT.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
out=$1
shift
rm -rf "$out"
mkdir -p "$out"
state=$(mktemp -d /tmp/brantel-sim.XXXXXX)
# The M520 keeps its host keys beside the program's known_hosts: from one
# run to the next it is the same controller, which the program knows again
# without asking.
/usr/bin/python3 "$here/tools/simcontroller/simcontroller.py" --state "$state" \
  --log "$out/controller.log" --authorized-key "$here/build/run/~/.ssh/id_rsa.pub" \
  --host-keys "$here/build/run/simcontroller-host-keys" \
  >"$state/out" 2>&1 &
controller=$!
# The file trees as the session left them, taken before the controller
# stops: it removes the M520's root as it goes.
stop_controller() {
  if [ -f "$state/roots" ]; then
    while read -r name root; do
      (cd "$root" && find . -mindepth 1 | LC_ALL=C sort) > "$out/$name-tree.txt"
    done < "$state/roots"
  fi
  kill "$controller" 2>/dev/null || true
  wait "$controller" 2>/dev/null || true
  rm -rf "$state"
}
trap stop_controller EXIT
"$here/scripts/wait-ready" "$state/out" "the simulated controller" || exit 1
export BRANTEL_SIM_STATE="$state"
"$@"
