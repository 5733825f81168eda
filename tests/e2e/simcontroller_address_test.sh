#!/usr/bin/env bash
# The simulated controller takes a new address the way a controller does,
# seen through the program: Set new IP address, Restart host, and the lamp
# turns red at the old address and green at the new one.
source "$(dirname "$0")/harness.sh"

dir="$scratch/work"
console_prepare "$dir"
console_settings "$dir" 127.0.0.2
mkdir -p "$dir/~/.ssh"
ssh-keygen -q -N '' -f "$dir/~/.ssh/id_rsa"
setsid /usr/bin/python3 "$BRANTEL_SOURCE/tools/simcontroller/simcontroller.py" --state "$scratch/sim" \
  --log "$scratch/controller.log" --authorized-key "$dir/~/.ssh/id_rsa.pub" --silent-seconds 3 \
  >"$scratch/sim.out" 2>&1 &
peer_pids+=($!)
"$BRANTEL_SOURCE/scripts/wait-ready" "$scratch/sim.out" "the simulated controller" ||
  fail "the simulated controller did not start"

console_start "$dir"
drive wait-console 60 wait-colour 1019 00FF00 20
drive set-ip 1007 127.0.0.12
expect_eq "new address written" "IP地址更新成功，请重启生效" "$(command_message 1020)"
drive click 1018 no-msgbox 2 wait-colour 1019 FF0000 20
echo "ok: the controller went silent"
# It does not come back at its old address...
drive sleep 6 colour 1019 | grep -qx FF0000 || fail "the old address answers again"
echo "ok: the old address stays silent"
# ...but at the new one.
drive set-ip 1004 127.0.0.12 wait-colour 1019 00FF00 20
echo "ok: the controller answers at its new address"
grep -q 'M520 takes the address 127.0.0.12 from userinfo.txt' "$scratch/controller.log" ||
  fail "the controller's log lacks the move: $(cat "$scratch/controller.log")"
expect_eq "create system at the new address" "升级结束" "$(command_message 1006 120)"

drive click 2 console-gone 10
console_wait_exit 10
