#!/usr/bin/env bash
# A fault on the main thread and one on a second thread: each leaves a report
# at the root of drive C:, apologises in a message box and ends the process
# with no other fault dialog. Where the root of C: refuses new files (made
# immutable: as root, chmod would not stop the writes) the report goes to the
# user's own folder under the same name, the apology is the same, and the
# debugger still hears of the refused path. Under code page 1252 the report's
# name and the apology read as they do under 936.
source "$(dirname "$0")/harness.sh"

faulter="$BRANTEL_BUILD/tests/faulter.exe"
drive_c="$WINEPREFIX/drive_c"
# The user's local application data folder, as Wine names it, on drive C:.
local_appdata=$("$wine_run" cmd /c 'echo %LOCALAPPDATA%' | tr -d '\r')
[[ "$local_appdata" == 'C:\'* ]] || fail "local application data folder: $local_appdata"
user_folder="$drive_c/$(tr '\\' / <<<"${local_appdata#C:\\}")/Brantel"
reports() { find "$drive_c" "$user_folder" -maxdepth 1 -name '错误报告_faulter.exe.*.TXT' 2>/dev/null || true; }
remove_reports() { reports | xargs -r rm -f; }
# The reports go with the scratch folder: a failed run keeps them.
test_teardown() { chattr -i "$drive_c"; reports | xargs -r cp -t "$scratch"; remove_reports; }
remove_reports

# What a report of this build's architecture holds: its registers, addresses
# as wide as its pointers, and how many frames of the faulter its call stack
# shows at least. On x86 the stack is walked by saved frame pointers, and the
# faulting function (a leaf that uses no stack) keeps none: its caller is not
# seen, so the fault on the second thread shows that thread's function and the
# fault, two frames.
case ${BRANTEL_ARCH:-x86_64} in
  x86_64) registers="RAX RBX RCX RDX RSI RDI R8 R9 R10 R11 R12 R13 R14 R15" pc=RIP sp=RSP fp=RBP width=16 least_frames=3 ;;
  i686) registers="EAX EBX ECX EDX ESI EDI" pc=EIP sp=ESP fp=EBP width=8 least_frames=2 ;;
esac
hex="[0-9A-F]{$width}"

# The debugger line "创建崩溃记录文件失败" as Wine's debug channel prints it.
refused_line=$(printf '创建崩溃记录文件失败' | iconv -f UTF-8 -t CP936 | od -An -tx1 | tr -d ' \n' | sed 's/../\\x&/g')

# crash WHERE FOLDER [LOCALE]: a fault on WHERE (main or thread) leaves its
# report in FOLDER and the apology on the screen.
crash() {
  local where=$1 folder=$2 place="the user's folder"
  [ "$folder" == "$drive_c" ] && place='C:\'
  local what="$where, report in $place${3:+, $3}"
  (BRANTEL_WINE_LOCALE=${3:-zh_CN.UTF-8} WINEDEBUG=-all,warn+debugstr exec "$wine_run" "$faulter" "$where" \
    >"$scratch/out.txt" 2>&1) &
  program_pid=$!
  pid=$program_pid
  text=$(drive msgbox 30 | tr -d "\r") || fail "$what: no message box; faulter said: $(cat "$scratch/out.txt")"
  expect_eq "$what: box caption" "程序异常" "$(drive msgbox-caption)"
  expect_eq "$what: apology" "Fenwa系统异常，对给您带来的不便表示歉意!!" "$(head -1 <<<"$text")"
  grep -q "技术支持" <<<"$text" || fail "$what: no support contact in the box: $text"
  drive dismiss
  console_wait_exit 15
  status=0
  wait "$pid" || status=$?
  ((status != 0 && status != 2 && status != 3)) || fail "$what: the faulter ended by itself ($status)"
  drive no-msgbox 2

  found=$(reports)
  expect_eq "$what: report files" 1 "$(grep -c . <<<"$found")"
  expect_eq "$what: report folder" "$folder" "$(dirname "$found")"
  if [ "$folder" == "$drive_c" ]; then
    if grep -qF "$refused_line" "$scratch/out.txt"; then fail "$what: a refused path was reported"; fi
  else
    grep -qF "OutputDebugStringA \"$refused_line\"" "$scratch/out.txt" ||
      fail "$what: no debugger line for the refused root of C:"
  fi
  report=$(iconv -f CP936 -t UTF-8 "$found" | tr -d '\r')
  exception=$(grep '^Exception code:' <<<"$report")
  expect_eq "$what: exception line" "Exception code: C0000005 ACCESS_VIOLATION" "$exception"
  fault=$(grep '^Fault address:' <<<"$report")
  [[ "$fault" =~ ^Fault\ address:\ \ ($hex)\ 01:[0-9A-F]{8}\ [A-Z]:.*\\faulter\.exe$ ]] ||
    fail "$what: fault line: $fault"
  address=${BASH_REMATCH[1]}
  expected=()
  for register in $registers; do expected+=("$register:$hex"); done
  expected+=("CS:$pc:[0-9A-F]{4}:$address" "SS:$sp:[0-9A-F]{4}:$hex  $fp:$hex"
             "DS:[0-9A-F]{4}  ES:[0-9A-F]{4}  FS:[0-9A-F]{4}  GS:[0-9A-F]{4}" "Flags:[0-9A-F]{8}")
  mapfile -t rows < <(sed -n '/^Registers:$/,/^$/p' <<<"$report" | sed '1d;$d')
  expect_eq "$what: register rows" "${#expected[@]}" "${#rows[@]}"
  for i in "${!expected[@]}"; do
    [[ "${rows[i]}" =~ ^${expected[i]}$ ]] || fail "$what: register row $((i + 1)): ${rows[i]}"
  done
  first=$(grep -A2 '^Call stack:' <<<"$report" | tail -1)
  [[ "$first" == "$address  "* && "$first" == *" 0001:"*"\\faulter.exe" ]] ||
    fail "$what: first call-stack line: $first"
  frames=$(sed -n '/^Call stack:/,$p' <<<"$report" | grep -c 'faulter\.exe$')
  ((frames >= least_frames)) || fail "$what: the stack shows only $frames frame(s) of the faulter: $report"
  echo "ok: $what: report, $frames frames in the faulter"
  remove_reports
}

crash main "$drive_c"
crash thread "$drive_c"
crash main "$drive_c" C.UTF-8

chattr +i "$drive_c"
crash main "$user_folder"
crash thread "$user_folder" C.UTF-8
chattr -i "$drive_c"
