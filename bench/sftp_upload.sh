#!/usr/bin/env bash
# Upload speed of the SFTP route: wall time to put a 1 MiB and an 8 MiB file
# to the M520 target (OpenSSH's sshd at 127.0.0.2, in a private network
# namespace), median of 5, beside the floor the route's 1 ms pause per
# 2024-byte chunk sets, and beside OpenSSH's own sftp putting the same file
# to the same target.
#   bench/sftp_upload.sh        (builds first; prints a table)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
source "$here/bench/target.sh"

printf '%-6s %12s %12s %12s\n' size route_ms floor_ms openssh_ms
for mib in 1 8; do
  file="upload-$mib.bin"
  head -c $((mib * 1048576)) /dev/urandom > "$work/run/$file"
  route=$(cd "$work/run" && "$here/scripts/wine-run" "$here/build/x86_64/bench/sftp_bench.exe" \
            127.0.0.2 /mnt/mmc . "$file" 5 | tr -d '\r' | median)
  floor=$(( (mib * 1048576 + 2023) / 2024 ))
  openssh=$(for _ in 1 2 3 4 5; do
    start=$(date +%s%N)
    openssh_put "$work/run/$file" "/mnt/mmc/$file"
    echo $(( ($(date +%s%N) - start) / 1000000 ))
  done | median)
  printf '%-6s %12s %12s %12s\n' "${mib}MiB" "$route" "$floor" "$openssh"
done
