#!/bin/sh
# Start-up script of the M410 controller: brings up the PLC runtime.
ROOT=/mnt/nandflash
cd $ROOT || exit 1
[ -x $ROOT/user.sh ] && $ROOT/user.sh
$ROOT/Korvid -c $ROOT/userinfo.txt &
$ROOT/Telvo -d /dev/ttyS1 &
exit 0
