#!/usr/bin/env bash
# Where a 4 MiB upload of the SFTP route spends its time, against the floor
# that the route's own rules allow: one pause of 1 ms after each 2024-byte
# chunk, plus OpenSSH's sftp putting the same file to the same target with
# one 2024-byte request at a time (-B 2024 -R 1). All under Wine, against
# the M520 target (OpenSSH's sshd at 127.0.0.2, in a private network
# namespace). Prints:
#   - the mean and 99th percentile of 2000 pauses;
#   - the time per chunk, split into the pause, the write (the chunk sent
#     and its acknowledgement awaited, measured in a session of its own
#     that writes the same chunks without pausing) and the rest;
#   - the whole upload (median of 5) against the floor, and their ratio;
#   - what the session record adds per chunk: the SHA-256 of the chunk and
#     its share of the dozen lines an upload writes to the record (the
#     route's uploads above write a record too, as the program does).
#   bench/upload_floor.sh        (builds first)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
source "$here/bench/target.sh"

size=$((4 * 1048576))
file=upload-4MiB.bin
head -c $size /dev/urandom > "$work/run/$file"
chunks=$(( (size + 2023) / 2024 ))
bench_exe() { (cd "$work/run" && "$here/scripts/wine-run" "$here/build/x86_64/bench/$1" "${@:2}") | tr -d '\r'; }
value() { sed -n "s/^$1 //p" <<< "$2"; }

pauses=$(bench_exe chunk_bench.exe pauses 2000)
writes=$(bench_exe chunk_bench.exe writes 127.0.0.2 "/mnt/mmc/$file" "$file")
route_ms=$(bench_exe sftp_bench.exe 127.0.0.2 /mnt/mmc . "$file" 5 | median)
openssh_ms=$(for _ in 1 2 3 4 5; do
  start=$(date +%s%N)
  openssh_put "$work/run/$file" "/mnt/mmc/$file" -B 2024 -R 1
  echo $(( ($(date +%s%N) - start) / 1000000 ))
done | median)

record=$(bench_exe chunk_bench.exe record 20000)

pause=$(value pause_mean_ms "$pauses")
write=$(value write_mean_ms "$writes")
per_chunk=$(bc -l <<< "scale=3; $route_ms / $chunks")
rest=$(bc -l <<< "scale=3; $per_chunk - $pause - $write")
floor_ms=$((chunks + openssh_ms))
echo "pauses (2000, $(value pause_timer "$pauses")): mean $pause ms, p99 $(value pause_p99_ms "$pauses") ms"
echo "per chunk ($chunks chunks of 2024 bytes): $per_chunk ms = pause $pause + write $write + rest $rest"
echo "upload of 4 MiB: route $route_ms ms, floor $floor_ms ms ($chunks x 1 ms + OpenSSH sftp -B 2024 -R 1 $openssh_ms ms)," \
  "ratio $(bc -l <<< "scale=2; $route_ms / $floor_ms")"
hash_us=$(value record_hash_us "$record")
line_us=$(value record_line_us "$record")
record_us=$(bc -l <<< "scale=3; $hash_us + 12 * $line_us / $chunks")
echo "session record per chunk: $record_us us (SHA-256 of the chunk $hash_us us, one record line $line_us us," \
  "12 lines an upload), $(bc -l <<< "scale=3; $record_us / 10 / $per_chunk") % of the chunk's $per_chunk ms"
