#!/bin/sh
# Start-up script of the M520 controller: brings up the PLC runtime.
ROOT=/mnt/mmc
cd $ROOT || exit 1
[ -x $ROOT/user.sh ] && $ROOT/user.sh
$ROOT/Korvid -c $ROOT/userinfo.txt &
$ROOT/Telvo -d /dev/ttymxc1 &
exit 0
