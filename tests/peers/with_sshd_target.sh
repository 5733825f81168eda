#!/usr/bin/env bash
# Starts the M520 target (OpenSSH's sshd at 127.0.0.2, see sshd_target.py)
# with a fresh key pair, runs the given Windows test program under Wine in a
# working folder that holds the pair as "~/.ssh/id_rsa", and stops the target.
# The program finds the target's root in BRANTEL_SSH_ROOT (a Linux path,
# reachable through Wine's Z: drive). While the file "freeze" exists in the
# working folder, the target's sessions are stopped (SIGSTOP), like a
# controller that stops answering in the middle of a transfer.
# Beside it, small paramiko targets for the login variants, journalling each
# login, attribute change and write to BRANTEL_PEER_WORK/<name>.journal:
#   127.0.0.21 password   127.0.0.22 kbdint   127.0.0.23 none
#   127.0.0.24 nopubkey   127.0.0.25 refusing (password; fails every write)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source_dir="$(cd "$here/../.." && pwd)"
program=$(realpath "$1")
shift
work=$(mktemp -d /tmp/brantel-sshd.XXXXXX)
target=""
peers=()
cleanup() {
  pkill -CONT -f 'sshd: root' 2>/dev/null || true
  for pid in "${peers[@]}"; do kill "$pid" 2>/dev/null || true; done
  [ -n "$target" ] && kill "$target" 2>/dev/null && wait "$target" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/run/~/.ssh"
ssh-keygen -q -t rsa -b 2048 -m PEM -N '' -C brantel-test -f "$work/run/~/.ssh/id_rsa"
/usr/bin/python3 "$here/sshd_target.py" --address 127.0.0.2 --state "$work/state" \
  --authorized-key "$work/run/~/.ssh/id_rsa.pub" >"$work/target.out" 2>&1 &
target=$!
"$source_dir/scripts/wait-ready" "$work/target.out" "SSH target" || exit 1
export BRANTEL_SSH_ROOT=$(sed -n 's/^root //p' "$work/target.out")

start_peer() {
  local name=$1 address=$2
  shift 2
  mkdir -p "$work/peers/$name"
  /usr/bin/python3 "$here/paramiko_target.py" --address "$address" --root "$work/peers/$name" \
    --journal "$work/peers/$name.journal" "$@" >"$work/peers/$name.log" 2>&1 &
  peers+=($!)
}
start_peer password 127.0.0.21 --auth password
start_peer kbdint 127.0.0.22 --auth keyboard-interactive
start_peer none 127.0.0.23 --auth none
start_peer nopubkey 127.0.0.24 --auth publickey-not-offered
start_peer refusing 127.0.0.25 --auth password --refuse-writes
for name in password kbdint none nopubkey refusing; do
  "$source_dir/scripts/wait-ready" "$work/peers/$name.log" "SSH target $name" || exit 1
done
export BRANTEL_PEER_WORK="$work/peers"

( while kill -0 "$target" 2>/dev/null; do
    if [ -e "$work/run/freeze" ]; then pkill -STOP -f 'sshd: root' || true; fi
    sleep 0.1
  done ) &
cd "$work/run"
"$source_dir/scripts/wine-run" "$program" "$@"
