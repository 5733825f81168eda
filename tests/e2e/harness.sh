# End-to-end harness, sourced by the test scripts. The tests run inside the
# private network namespace that scripts/in-sandbox made, under Xvfb.
#
#   console_prepare DIR          a working folder with the program and its files
#   console_settings DIR ADDR    writes Brantel.cfg with target address ADDR
#   console_start DIR            starts the program with DIR as working folder
#   drive ARGS...                runs the driver (tests/e2e/driver)
#   expect_eq WHAT EXPECTED ACTUAL
#   console_wait_exit SECONDS    the program has ended within SECONDS
#   ftp_target_start ROOT [OPTIONS]  the M410 target at 127.0.0.3:21 serving ROOT
#                                (journal of logins and commands: $ftp_journal)
#   sshd_target_start DIR [ADDRESS [OPTIONS...]]
#                                an M520 target (sshd) at ADDRESS:22, by default
#                                127.0.0.2, whose root is then in $m520_root;
#                                DIR gets the key pair the program logs in
#                                with, as "~/.ssh/id_rsa"; OPTIONS go to
#                                tests/peers/sshd_target.py
#   sshd_target_stop [ADDRESS]   stops the target at ADDRESS (127.0.0.2); started
#                                again with the same DIR, it keeps its host keys
#   m520_console_prepare DIR     console_prepare, with the M520 target saved as
#                                the target address and started
#   update_file NAME BYTES       a file of random bytes in $updates, the folder
#                                the tests choose update files from
#   session_record               the path of the session record that the
#                                program started last is writing
#   record_has REGEX             that record has a line matching REGEX (grep -E)
#
# A test that fails, by `fail`, by any command that fails (set -e) or by
# running out of time, keeps its scratch folder in out/test-failures
# (tests/evidence.sh) with the program's output, the targets' logs and roots,
# the session records it made and a screenshot taken at the failure. The
# program and the targets run in sessions of their own (setsid, see
# tests/evidence.sh); a test that starts a target itself does the same and
# adds it to peer_pids. A test that must undo something of its own at the
# end (unmount, make writable again) does it in a function test_teardown,
# which the harness calls once that evidence is taken and before it stops
# the program and the targets.
set -euo pipefail
: "${BRANTEL_BUILD:?}" "${BRANTEL_SOURCE:?}"
wine_run="$BRANTEL_SOURCE/scripts/wine-run"
export WINEPREFIX="${WINEPREFIX:-$BRANTEL_SOURCE/build/wineprefix${BRANTEL_WINE_ROOT:+-wow64}}"
# The system folder as the program sees it: in a 64-bit prefix, a 32-bit
# program's is redirected to syswow64, as on 64-bit Windows.
system32="$WINEPREFIX/drive_c/windows/system32"
[ "${BRANTEL_ARCH:-}" != i686 ] || system32="$WINEPREFIX/drive_c/windows/syswow64"
program_pid=""
peer_pids=()
# Paths a test made immutable (chattr +i, what stops root from writing).
immutable=()
source "$BRANTEL_SOURCE/tests/evidence.sh"
scratch=$(mktemp -d /tmp/brantel-e2e.XXXXXX)

# The program's session records, in the prefix's user folder.
record_folder="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/Brantel/logs"
records_before=""
records_at_start=$(ls "$record_folder" 2>/dev/null || true)

# What the test saw when it failed, gathered while the program and the
# targets still run: the screen, the SSH targets' roots and the session
# records the test's runs of the program made.
harness_gather_evidence() {
  [ -z "${DISPLAY:-}" ] || import -window root "$scratch/screenshot.png" 2>/dev/null || true
  evidence_copy_roots "$scratch"
  local name
  for name in $(ls "$record_folder" 2>/dev/null); do
    grep -qxF "$name" <<< "$records_at_start" && continue
    mkdir -p "$scratch/records"
    cp "$record_folder/$name" "$scratch/records/" 2>/dev/null || true
  done
}

harness_cleanup() {
  local status=$?
  # Whatever fails here, the rest is still done.
  set +e
  ((status == 0)) || harness_gather_evidence
  ! declare -F test_teardown >/dev/null || test_teardown
  for path in "${immutable[@]}"; do chattr -i "$path" 2>/dev/null || true; done
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  for pid in "${peer_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  # The targets remove their roots and finish their logs as they stop.
  for pid in "${peer_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  sysctl -q -w net.ipv4.icmp_echo_ignore_all=0 2>/dev/null || true
  evidence_settle "$status" "$scratch"
}
trap harness_cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

expect_eq() {
  [ "$2" == "$3" ] || fail "$1: expected '$2', got '$3'"
  echo "ok: $1"
}

# The program with its files; its host library is the variant whose probe
# never leaves 127.0.0.0/8, so not even the default address is ever probed.
console_prepare() {
  local dir=$1
  mkdir -p "$dir"
  cp "$BRANTEL_BUILD/bin/"* "$dir/"
  cp "$BRANTEL_BUILD/tests/fixtures/loopback/KelvoX.dll" "$dir/"
}

# Makes every address in the namespace silent to pings (1) or answer again (0).
pings_answered() {
  sysctl -q -w net.ipv4.icmp_echo_ignore_all=$((1 - $1))
}

# Milliseconds since the epoch.
now_ms() { date +%s%3N; }

console_settings() {
  printf '[Brantel]\r\nIP=%s\r\n' "$2" > "$1/Brantel.cfg"
}

console_start() {
  local dir=$1
  records_before=$(ls "$record_folder" 2>/dev/null || true)
  (cd "$dir" && exec setsid "$wine_run" Brantel.exe >"$dir/stdout.txt" 2>"$dir/stderr.txt") &
  program_pid=$!
}

session_record() {
  local name
  for name in $(ls -t "$record_folder" 2>/dev/null); do
    grep -qxF "$name" <<< "$records_before" || { echo "$record_folder/$name"; return; }
  done
  fail "the program made no session record in $record_folder"
}

# The record's lines as text: without its byte order mark and its CRs. A
# reader that stops at its first match (grep -q) ends the writing with
# SIGPIPE (status 141), which pipefail would take for a failure.
record_lines() {
  local record
  record=$(session_record)
  sed '1s/^\xEF\xBB\xBF//' "$record" | tr -d '\r' || [ $? -eq 141 ]
}

record_has() {
  record_lines | grep -qE -- "$1" || fail "the session record lacks a line matching '$1':
$(record_lines)"
  echo "ok: record: $1"
}

console_wait_exit() {
  local deadline=$((SECONDS + $1))
  while kill -0 "$program_pid" 2>/dev/null; do
    ((SECONDS < deadline)) || fail "the program is still running after $1 s"
    sleep 0.2
  done
  program_pid=""
}

drive() { "$wine_run" "$BRANTEL_BUILD/tests/driver.exe" "$@"; }

ftp_journal="$scratch/ftp.journal"
ftp_target_start() {
  local root=$1
  shift
  mkdir -p "$root"
  setsid /usr/bin/python3 "$BRANTEL_SOURCE/tests/peers/ftp_target.py" --address 127.0.0.3 --root "$root" \
    --journal "$ftp_journal" "$@" >"$scratch/ftp.log" 2>&1 &
  peer_pids+=($!)
  "$BRANTEL_SOURCE/scripts/wait-ready" "$scratch/ftp.log" "the FTP target" || fail "the FTP target did not start"
}

ftp_target_stop() {
  for pid in "${peer_pids[@]}"; do kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done
  peer_pids=()
}

# A Wine path (Z:) for a Linux path.
wine_path() { printf 'Z:%s' "${1//\//\\}"; }

# Runs a command of the console and prints the message box it ends with.
command_message() {
  drive click "$1" >/dev/null
  drive msgbox "${2:-60}"
  drive dismiss
}

m520_root=""
declare -A sshd_target_pids=()
sshd_target_start() {
  local dir=$1 address=${2:-127.0.0.2}
  shift $(($# < 2 ? $# : 2))
  mkdir -p "$dir/~/.ssh"
  [ -f "$dir/~/.ssh/id_rsa" ] || ssh-keygen -q -N '' -C brantel-test -f "$dir/~/.ssh/id_rsa"
  local out="$scratch/sshd-$address.out"
  setsid /usr/bin/python3 "$BRANTEL_SOURCE/tests/peers/sshd_target.py" --address "$address" \
    --state "$scratch/sshd-$address" --authorized-key "$dir/~/.ssh/id_rsa.pub" "$@" >"$out" 2>&1 &
  peer_pids+=($!)
  sshd_target_pids[$address]=$!
  "$BRANTEL_SOURCE/scripts/wait-ready" "$out" "the SSH target" || fail "the SSH target at $address did not start"
  [ "$address" != 127.0.0.2 ] || m520_root=$(sed -n 's/^root //p' "$out")
}

sshd_target_stop() {
  local address=${1:-127.0.0.2}
  kill "${sshd_target_pids[$address]}" 2>/dev/null || true
  wait "${sshd_target_pids[$address]}" 2>/dev/null || true
}

m520_console_prepare() {
  console_prepare "$1"
  console_settings "$1" 127.0.0.2
  sshd_target_start "$1"
}

updates="$scratch/updates"
update_file() {
  mkdir -p "$updates"
  head -c "$2" /dev/urandom > "$updates/$1"
}
