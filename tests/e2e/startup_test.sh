#!/usr/bin/env bash
# Start-up without the host environment library: one message box, no console.
source "$(dirname "$0")/harness.sh"

dir="$scratch/work"
console_prepare "$dir"
rm -f "$dir/KelvoX.dll" "$system32/KelvoX.dll"
console_start "$dir"
expect_eq "load error box" "KelvoX加载错误" "$(drive msgbox 30)"
expect_eq "box caption" "Brantel" "$(drive msgbox-caption)"
drive no-console 1 dismiss
console_wait_exit 10
drive no-console 1
