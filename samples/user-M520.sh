#!/bin/sh
# Start-up steps of this site of the M520; runs before the PLC runtime.
ROOT=/mnt/mmc
for n in 1 2 3 4 5 6 7 8; do
  mkdir -p $ROOT/plc$n
done
# Handshake files left by the service tool.
rm -f $ROOT/shutdown.txt $ROOT/reboot.txt
exit 0
