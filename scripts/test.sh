#!/usr/bin/env bash
# Installs what is missing, builds both architectures and runs the whole test
# suite (the x86-64 build, under Wine) headless inside a private network
# namespace. Extra arguments go to ctest (for example -R hostenv).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/setup.sh"
"$here/scripts/build.sh"
cd "$here"
exec scripts/in-sandbox bash -c '
  scripts/wine-prefix
  xvfb-run -a -s "-screen 0 1024x768x24" \
    ctest --test-dir build/x86_64 --output-on-failure -j2 "$@"' bash "$@"
