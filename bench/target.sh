# Sourced by the benchmarks (with $here the source tree): builds the x86-64
# program, goes into a private network namespace (running the benchmark
# again there), and starts the M520 target (OpenSSH's sshd at 127.0.0.2)
# with a fresh key pair, which the program finds as "~/.ssh/id_rsa" in
# $work/run.
#   openssh_put LOCAL REMOTE [SFTP OPTIONS]   OpenSSH's sftp puts one file
#   median                                     the middle one of 5 numbers
if [ "${BRANTEL_IN_SANDBOX:-}" != 1 ]; then
  "$here/scripts/setup.sh" >/dev/null
  BRANTEL_ARCHS=x86_64 "$here/scripts/build.sh" >/dev/null
  exec "$here/scripts/in-sandbox" "$0" "$@"
fi
"$here/scripts/wine-prefix"
work=$(mktemp -d /tmp/brantel-bench.XXXXXX)
target=""
trap '[ -n "$target" ] && kill $target 2>/dev/null; rm -rf "$work"' EXIT
mkdir -p "$work/run/~/.ssh"
ssh-keygen -q -t rsa -b 2048 -m PEM -N '' -f "$work/run/~/.ssh/id_rsa"
/usr/bin/python3 "$here/tests/peers/sshd_target.py" --address 127.0.0.2 --state "$work/state" \
  --authorized-key "$work/run/~/.ssh/id_rsa.pub" > "$work/target.out" 2>&1 &
target=$!
"$here/scripts/wait-ready" "$work/target.out" "the SSH target"

median() { sort -n | sed -n 3p; }

openssh_put() {
  local from=$1 to=$2
  shift 2
  sftp -q "$@" -b - -i "$work/run/~/.ssh/id_rsa" -o StrictHostKeyChecking=no -o UserKnownHostsFile=/dev/null \
    root@127.0.0.2 <<< "put $from $to" >/dev/null
}
