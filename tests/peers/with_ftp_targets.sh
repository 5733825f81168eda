#!/usr/bin/env bash
# Starts the FTP targets that the FTP route's tests talk to, runs the given
# Windows test program under Wine, and stops the targets again. Each target
# serves its own folder under $BRANTEL_FTP_WORK/<name> (read by the tests
# through Wine's Z: drive) and journals logins and commands to <name>.journal.
#
#   127.0.0.3  target     the M410 target; folder "locked" takes no uploads
#   127.0.0.4  refusing   refuses every login
#   127.0.0.5  cutting    aborts an upload after 64 KiB with 426
#   127.0.0.6  hangup     drops the whole session after 64 KiB of an upload
#   127.0.0.7  noconnect  answers STOR 150 but never connects back
#   127.0.0.8  -          no FTP service at all
#   127.0.0.9  silent     takes the upload's data but never answers after 150
#   127.0.0.10 mute       takes connections but never says a word
# A run that fails keeps the targets' folders, logs and journals and the
# program's output (output.txt) in out/test-failures (tests/evidence.sh).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source_dir="$(cd "$here/../.." && pwd)"
source "$source_dir/tests/evidence.sh"
work=$(mktemp -d /tmp/brantel-ftp.XXXXXX)
pids=()

cleanup() {
  local status=$?
  set +e
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  evidence_settle "$status" "$work"
}
trap cleanup EXIT

start_target() {
  local name=$1 address=$2
  shift 2
  mkdir -p "$work/$name"
  setsid /usr/bin/python3 "$here/ftp_target.py" --address "$address" --root "$work/$name" \
    --journal "$work/$name.journal" "$@" >"$work/$name.log" 2>&1 &
  pids+=($!)
}

start_target target 127.0.0.3 --read-only locked
mkdir -p "$work/target/locked"
start_target refusing 127.0.0.4 --refuse-logins
start_target cutting 127.0.0.5 --cut-after 65536
start_target hangup 127.0.0.6 --hang-up-after 65536
start_target noconnect 127.0.0.7 --no-connect-back
start_target silent 127.0.0.9 --silent-after-150
start_target mute 127.0.0.10 --mute

for name in target refusing cutting hangup noconnect silent mute; do
  "$source_dir/scripts/wait-ready" "$work/$name.log" "FTP target $name" || exit 1
done

export BRANTEL_FTP_WORK="$work"
"$source_dir/scripts/wine-run" "$@" 2>&1 | tee "$work/output.txt"
