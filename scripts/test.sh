#!/usr/bin/env bash
# Installs what is missing, builds both architectures and runs both test
# suites headless, each inside a private network namespace of its own: the
# x86-64 build's whole suite under the machine's Wine, then the x86 build's
# suite under the WoW64 Wine of set-up's trixie root (scripts/test-suite).
# Extra arguments go to ctest (for example -R hostenv); BRANTEL_ARCHS=i686
# runs the x86 suite alone, BRANTEL_ARCHS=x86_64 the x86-64 suite alone.
# Fails when a suite that ran failed; a skipped suite is reported as such.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/setup.sh"
"$here/scripts/build.sh"
status=0
summary=()
for arch in ${BRANTEL_ARCHS:-x86_64 i686}; do
  name=${arch/x86_64/x86-64}
  name=${name/i686/x86}
  result=0
  "$here/scripts/test-suite" "$arch" "$@" || result=$?
  case $result in
    0) summary+=("$name suite: passed") ;;
    77) summary+=("$name suite: SKIPPED (no WoW64 Wine; see set-up's message)") ;;
    *) summary+=("$name suite: FAILED"); status=1 ;;
  esac
done
printf '%s\n' "${summary[@]}"
exit $status
