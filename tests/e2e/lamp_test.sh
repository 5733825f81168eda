#!/usr/bin/env bash
# The reachability lamp and Exit while a probe is in flight. Pings are
# switched off and on for the whole namespace (icmp_echo_ignore_all).
source "$(dirname "$0")/harness.sh"

dir="$scratch/lamp"
console_prepare "$dir"
console_settings "$dir" 127.0.0.2
pings_answered 0
console_start "$dir"
drive wait-console 60 wait-colour 1019 FF0000 10
drive sleep 1 colour 1019 | grep -qx FF0000 || fail "lamp not red while the target is silent"

# Green only after five answered probes in a row. Four 100 ms pauses lie
# between the first answer and the fifth, and the lamp may read the flag from
# the message posted just before that fifth probe, so 400 ms is the soonest.
pings_answered 1
start=$(now_ms)
drive wait-colour 1019 00FF00 10
elapsed=$(( $(now_ms) - start ))
((elapsed >= 400)) || fail "lamp green after $elapsed ms, before five answers"
echo "ok: green after $elapsed ms"

# Red at the first unanswered probe: one probe time-out (1 s) and one cycle.
pings_answered 0
start=$(now_ms)
drive wait-colour 1019 FF0000 5
elapsed=$(( $(now_ms) - start ))
((elapsed <= 2500)) || fail "lamp red only after $elapsed ms"
echo "ok: red after $elapsed ms"

pings_answered 1
drive wait-colour 1019 00FF00 10
echo "ok: green again"

# Another answering address keeps it green.
drive set-ip 1004 127.0.0.7 sleep 1.5 colour 1019 | grep -qx 00FF00 || fail "lamp left green on another answering host"
echo "ok: still green at another answering address"

# Exit with a silent target: a probe is in flight, the console still closes
# about a second after the click.
pings_answered 0
drive wait-colour 1019 FF0000 5
start=$(now_ms)
drive click 2 console-gone 10
elapsed=$(( $(now_ms) - start ))
((elapsed <= 2500)) || fail "console closed $elapsed ms after Exit"
echo "ok: closed $elapsed ms after Exit"
console_wait_exit 10
