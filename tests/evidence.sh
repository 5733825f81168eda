# What a failed test leaves for the developer; sourced by the end-to-end
# harness (tests/e2e/harness.sh) and the peer wrappers (tests/peers/with_*.sh).
# Such a test works in a scratch folder of its own, and its EXIT trap ends
# with
#   evidence_settle STATUS SCRATCH
# which removes the folder when STATUS (the test's exit status) is 0, and
# otherwise moves it to out/test-failures/<test>-<arch>-<date-time>/ in the
# source tree and names that folder in one line of the test's output. <test>
# is ctest's name for the test (BRANTEL_TEST_NAME, which the tests' CMake
# definitions set; the script's own name when it is run by hand). out/ is
# outside build/, so a clean build keeps it, and no test run removes what
# lands there: only the developer does.
# Sourcing this file makes SIGTERM and SIGINT end the script with a failing
# status, so that its EXIT trap keeps the evidence of a test stopped by its
# time limit or by the developer. The CMake definitions run each script under
# `timeout`, which sends SIGTERM to the script's process group before ctest
# would kill the script with SIGKILL. The processes whose state is evidence
# (the program, the targets) are started with setsid, outside that group:
# they are still there when the EXIT trap takes the screenshot and copies
# the roots, and the trap stops them.
#   evidence_copy_roots SCRATCH
# copies the root of every SSH target that SCRATCH holds the output of (a
# *.out file of tests/peers/sshd_target.py, which names its root in a line
# "root <path>") beside that output, as <name>-root: a target removes its
# root under /run when it stops, before the scratch folder is settled.
evidence_top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/out/test-failures"
trap 'echo "FAIL: stopped by SIGTERM (the time limit of the test?)" >&2; exit 143' TERM
trap 'exit 130' INT

evidence_settle() {
  local status=$1 scratch=$2
  if ((status == 0)); then
    rm -rf "$scratch"
    return
  fi
  local name=${BRANTEL_TEST_NAME:-$(basename "$0" .sh)}
  local kept
  kept="$evidence_top/$name-${BRANTEL_ARCH:-x86_64}-$(date +%Y%m%d-%H%M%S)"
  mkdir -p "$evidence_top"
  [ ! -e "$kept" ] || kept+="-$$"
  # mktemp made the scratch folder readable by its owner alone.
  mv "$scratch" "$kept" && chmod 755 "$kept" &&
    echo "FAIL: $name (exit status $status): evidence kept in $kept" >&2
}

evidence_copy_roots() {
  local output root
  for output in "$1"/*.out; do
    root=$(sed -n 's/^root //p' "$output" 2>/dev/null)
    [ -n "$root" ] && [ -d "$root" ] && cp -a "$root" "${output%.out}-root" 2>/dev/null || true
  done
}
