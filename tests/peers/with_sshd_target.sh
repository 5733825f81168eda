#!/usr/bin/env bash
# Starts the M520 target (OpenSSH's sshd at 127.0.0.2, see sshd_target.py)
# with a key pair made the way ssh-keygen makes one by default, runs the given
# Windows test program under Wine in a working folder that holds the pair as
# "~/.ssh/id_rsa", and stops the target.
# The program finds the target's root in BRANTEL_SSH_ROOT (a Linux path,
# reachable through Wine's Z: drive). While the file "freeze" exists in the
# working folder, the target's sessions are stopped (SIGSTOP), like a
# controller that stops answering in the middle of a transfer.
# The user keys engineers have, each in a folder of its own under
# BRANTEL_SSH_KEYS as "<name>/~/.ssh/id_rsa", all authorised everywhere:
#   rsa, ed25519, ecdsa (OpenSSH's own format)   rsa-pem (PEM)
# Beside it, sshd targets that offer only some algorithms, each with its root
# in BRANTEL_SSH_ROOT_<NAME>:
#   127.0.0.31 ED25519_HOST  only an ed25519 host key
#   127.0.0.32 CURVE25519    only the curve25519-sha256 key exchange
#   127.0.0.33 AES256_GCM    only the aes256-gcm cipher
#   127.0.0.34 CHACHA20      only the chacha20-poly1305 cipher
#   127.0.0.35 OLD_STYLE     what older controllers have: an ssh-rsa (SHA-1)
#                            host key, diffie-hellman-group14-sha1, aes128-ctr
#   127.0.0.36 NO_SFTP       an SSH server with no SFTP server: its "sftp"
#                            subsystem ends at once
# and small paramiko targets for the login variants, journalling each login,
# attribute change and write to BRANTEL_PEER_WORK/<name>.journal:
#   127.0.0.21 password   127.0.0.22 kbdint   127.0.0.23 none
#   127.0.0.24 nopubkey   127.0.0.25 refusing (password; fails every write)
#   127.0.0.26 full (password; keeps only the first 4096 bytes of a file,
#              though it acknowledges every write)
# The program runs with OPENSSL_CONF naming a configuration that asks for
# implementations nobody provides: the SSH library's cryptography must read
# no configuration file, or every session would fail.
# A run that fails keeps the working folder (the program's output in
# output.txt, the targets' logs, journals and roots) in out/test-failures
# (tests/evidence.sh); the targets run in sessions of their own (setsid) for
# that.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source_dir="$(cd "$here/../.." && pwd)"
source "$source_dir/tests/evidence.sh"
program=$(realpath "$1")
shift
work=$(mktemp -d /tmp/brantel-sshd.XXXXXX)
targets=()
peers=()
freezer=""
main_sshd=""

# Every process below the main target's sshd: the sessions it serves.
sessions() {
  local child
  for child in $(pgrep -P "$1"); do
    echo "$child"
    sessions "$child"
  done
}
cleanup() {
  local status=$?
  set +e
  ((status == 0)) || evidence_copy_roots "$work"
  [ -n "$freezer" ] && kill "$freezer" 2>/dev/null && wait "$freezer" 2>/dev/null || true
  [ -n "$main_sshd" ] && sessions "$main_sshd" | xargs -r kill -CONT 2>/dev/null || true
  for pid in "${peers[@]}" "${targets[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${peers[@]}" "${targets[@]}"; do wait "$pid" 2>/dev/null || true; done
  cd /
  evidence_settle "$status" "$work"
}
trap cleanup EXIT

keys="$work/keys"
make_key() {
  local name=$1
  shift
  mkdir -p "$keys/$name/~/.ssh"
  ssh-keygen -q "$@" -N '' -C "brantel-test-$name" -f "$keys/$name/~/.ssh/id_rsa"
}
make_key rsa -t rsa
make_key ed25519 -t ed25519
make_key ecdsa -t ecdsa
make_key rsa-pem -t rsa -m PEM
mkdir -p "$work/run/~/.ssh"
ssh-keygen -q -N '' -C brantel-test -f "$work/run/~/.ssh/id_rsa"
cat "$work/run/~/.ssh/id_rsa.pub" "$keys"/*/"~/.ssh/id_rsa.pub" > "$work/authorized_keys"
export BRANTEL_SSH_KEYS="$keys"

# start_target NAME ADDRESS [sshd_target.py options]: its output in $work/NAME.out.
start_target() {
  local name=$1 address=$2
  shift 2
  setsid /usr/bin/python3 "$here/sshd_target.py" --address "$address" --state "$work/state-$name" \
    --authorized-key "$work/authorized_keys" "$@" >"$work/$name.out" 2>&1 &
  targets+=($!)
}
target_root() { sed -n 's/^root //p' "$work/$1.out"; }

start_target main 127.0.0.2
start_target ED25519_HOST 127.0.0.31 --host-key ed25519
start_target CURVE25519 127.0.0.32 --sshd-option "KexAlgorithms curve25519-sha256"
start_target AES256_GCM 127.0.0.33 --sshd-option "Ciphers aes256-gcm@openssh.com"
start_target CHACHA20 127.0.0.34 --sshd-option "Ciphers chacha20-poly1305@openssh.com"
start_target OLD_STYLE 127.0.0.35 --host-key rsa --sshd-option "HostKeyAlgorithms ssh-rsa" \
  --sshd-option "KexAlgorithms diffie-hellman-group14-sha1" --sshd-option "Ciphers aes128-ctr" \
  --sshd-option "MACs hmac-sha1"
start_target NO_SFTP 127.0.0.36 --sftp-server /bin/false
for name in main ED25519_HOST CURVE25519 AES256_GCM CHACHA20 OLD_STYLE NO_SFTP; do
  "$source_dir/scripts/wait-ready" "$work/$name.out" "SSH target $name" || exit 1
  [ "$name" = main ] || export "BRANTEL_SSH_ROOT_$name=$(target_root "$name")"
done
export BRANTEL_SSH_ROOT=$(target_root main)
main_sshd=$(sed -n 's/^sshd //p' "$work/main.out")

start_peer() {
  local name=$1 address=$2
  shift 2
  mkdir -p "$work/peers/$name"
  setsid /usr/bin/python3 "$here/paramiko_target.py" --address "$address" --root "$work/peers/$name" \
    --journal "$work/peers/$name.journal" "$@" >"$work/peers/$name.log" 2>&1 &
  peers+=($!)
}
start_peer password 127.0.0.21 --auth password
start_peer kbdint 127.0.0.22 --auth keyboard-interactive
start_peer none 127.0.0.23 --auth none
start_peer nopubkey 127.0.0.24 --auth publickey-not-offered
start_peer refusing 127.0.0.25 --auth password --refuse-writes
start_peer full 127.0.0.26 --auth password --silently-full 4096
for name in password kbdint none nopubkey refusing full; do
  "$source_dir/scripts/wait-ready" "$work/peers/$name.log" "SSH target $name" || exit 1
done
export BRANTEL_PEER_WORK="$work/peers"
printf '%s\n' "openssl_conf = init" "[init]" "alg_section = algorithms" "[algorithms]" \
  "default_properties = fips=yes" > "$work/openssl.cnf"
export OPENSSL_CONF="$work/openssl.cnf"

( while :; do
    if [ -e "$work/run/freeze" ]; then sessions "$main_sshd" | xargs -r kill -STOP 2>/dev/null || true; fi
    sleep 0.1
  done ) &
freezer=$!
cd "$work/run"
"$source_dir/scripts/wine-run" "$program" "$@" 2>&1 | tee "$work/output.txt"
