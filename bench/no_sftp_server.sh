#!/usr/bin/env bash
# How long Restart host and Create system take to fail against an M520 whose
# SSH server has no SFTP server (its "sftp" subsystem ends at once, as
# OpenSSH's does with "Subsystem sftp /bin/false"): from the click to the
# verdict's message box, through the dialog, median of 3 each.
#   bench/no_sftp_server.sh       the program of build/x86_64 (built first)
#   BRANTEL_BUILD=DIR bench/no_sftp_server.sh
#                                 the program of another x86-64 build tree, for
#                                 example one against another libssh2:
#     cmake -S . -B build/other -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64.cmake \
#       -DBRANTEL_LIBSSH2=PREFIX && cmake --build build/other --target Brantel driver kelvox_loopback
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
export BRANTEL_SOURCE="$here"
if [ "${BRANTEL_IN_SANDBOX:-}" != 1 ]; then
  "$here/scripts/setup.sh" >/dev/null
  [ -n "${BRANTEL_BUILD:-}" ] || BRANTEL_ARCHS=x86_64 "$here/scripts/build.sh" >/dev/null
  export BRANTEL_BUILD="$(realpath "${BRANTEL_BUILD:-$here/build/x86_64}")"
  exec "$here/scripts/in-sandbox" xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
"$here/scripts/wine-prefix"
source "$here/tests/e2e/harness.sh"

dir="$scratch/work"
console_prepare "$dir"
console_settings "$dir" 127.0.0.8
sshd_target_start "$dir" 127.0.0.8 --sftp-server /bin/false
console_start "$dir"
drive wait-console 60 wait-colour 1019 00FF00 20 >/dev/null

# measure BUTTON: the verdict, and the milliseconds from the click to its box.
measure() {
  local start verdict
  start=$(now_ms)
  drive click "$1" >/dev/null
  verdict=$(drive msgbox 120)
  echo "$verdict $(( $(now_ms) - start ))"
  drive dismiss >/dev/null
  # Wine leaves the console's thread unanswering for about 2 s after a box.
  sleep 3
}

printf '%-14s %10s  %s\n' command median_ms verdict
for command in "Restart host:1018" "Create system:1006"; do
  results=$(for _ in 1 2 3; do measure "${command#*:}"; done)
  verdicts=$(cut -d' ' -f1 <<<"$results" | sort -u | xargs)
  median=$(cut -d' ' -f2 <<<"$results" | sort -n | sed -n 2p)
  printf '%-14s %10s  %s\n' "${command%:*}" "$median" "$verdicts"
done
drive click 2 console-gone 10 >/dev/null
console_wait_exit 10
