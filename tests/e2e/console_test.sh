#!/usr/bin/env bash
# The console as it opens and closes: saved and default addresses, the
# model box, the first focus, the clock in the status line, the About box,
# and Exit saving the address.
source "$(dirname "$0")/harness.sh"

# A first start: no settings file. Both address controls offer the default.
dir="$scratch/first"
console_prepare "$dir"
console_start "$dir"
drive wait-console 60
expect_eq "target address, no settings" "192.168.10.20" "$(drive get-ip 1004)"
expect_eq "new address, no settings" "192.168.10.20" "$(drive get-ip 1007)"
expect_eq "model box" "1 CPU-M520" "$(drive combo 1017)"
expect_eq "first focus" "2" "$(drive focus)"

# The status line: the clock, "/", the address that timer 1 last copied.
# Timer 1 copies the address within 0.5 s, the clock shows it within 1 s more.
drive set-ip 1004 127.0.0.9
deadline=$((SECONDS + 5))
until first=$(drive text 1005); [[ "$first" == */127.0.0.9 ]] || ((SECONDS > deadline)); do sleep 0.2; done
[[ "$first" =~ ^[0-9]{4}\ -\ [0-9]{2}\ -\ [0-9]{2}\ [0-9]{2}:[0-9]{2}:[0-9]{2}/127\.0\.0\.9$ ]] ||
  fail "status line '$first'"
drive sleep 1.1
expect_eq "status line moves with the clock" "different" "$([ "$(drive text 1005)" != "$first" ] && echo different)"

# Enter in the address box leaves the console open.
drive key 0x0D no-console 0 2>/dev/null || true
drive sleep 0.5 wait-console 1

# The About box opens from the system menu.
drive syscommand 16 dialog "关于 Brantel" 10 ok-dialog "关于 Brantel"
echo "ok: About box from the system menu"

drive click 2 console-gone 10
console_wait_exit 10
saved=$(tr -d '\r' < "$dir/Brantel.cfg")
expect_eq "saved settings" $'[Brantel]\nIP=127.0.0.9' "$saved"

# A second start reads the saved address back.
console_start "$dir"
drive wait-console 60
expect_eq "target address, saved" "127.0.0.9" "$(drive get-ip 1004)"
expect_eq "new address, saved" "127.0.0.9" "$(drive get-ip 1007)"
drive close console-gone 10
console_wait_exit 10
