#!/usr/bin/env bash
# The program's own texts on a Windows whose code page is not 936. Wine
# under the C.UTF-8 locale runs with code page 1252, where a CP936 text shown
# through an ANSI call comes out as mojibake; the driver reads every text as
# Unicode. A path from the file dialog stays in the system's code page and
# still leads the command to its file.
source "$(dirname "$0")/harness.sh"
export BRANTEL_WINE_LOCALE=C.UTF-8

# Start-up without the host library: its message box, before any window.
dir="$scratch/nolib"
console_prepare "$dir"
rm -f "$dir/KelvoX.dll" "$system32/KelvoX.dll"
console_start "$dir"
expect_eq "load error box" "KelvoX加载错误" "$(drive msgbox 30)"
expect_eq "box caption" "Brantel" "$(drive msgbox-caption)"
drive dismiss
console_wait_exit 10

# The console (the driver finds it by its caption) and its controls.
dir="$scratch/work"
console_prepare "$dir"
console_settings "$dir" 127.0.0.2
console_start "$dir"
drive wait-console 60
for control in "2 退出" "1006 创建系统" "1020 设定新IP地址" "1010 升级PLC1#"; do
  expect_eq "control ${control%% *}" "${control#* }" "$(drive text "${control%% *}")"
done
expect_eq "a command's message box" "请选择需要升级的程序" "$(command_message 1010 10)"
drive syscommand 16 dialog "关于 Brantel" 10 ok-dialog "关于 Brantel"
echo "ok: About box from the system menu"

# Browse: the file dialog's filter label; then a path in code page 1252.
drive click 1002
expect_eq "file types" "文件 (*.*; *.txt; *.rom)" "$(drive file-dialog-text 0x470 30)"
mkdir -p "$scratch/Grüße"
echo update > "$scratch/Grüße/update.rom"
path="$(wine_path "$scratch/Grüße")\\update.rom"
drive choose-file 10 "$path" wait-text 1005 "$path" 5 wait-text 1001 "$path" 5
echo "ok: the chosen path in the status line and the path box"
# The command finds the file (a path mangled on its way would be "文件不存在")
# and tries to send it; no SSH target listens, so it fails.
drive wait-colour 1019 00FF00 20
expect_eq "the command with the chosen file" "升级失败" "$(command_message 1010 60)"

drive click 2 console-gone 10
console_wait_exit 10
