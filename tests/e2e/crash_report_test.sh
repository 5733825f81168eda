#!/usr/bin/env bash
# A fault on the main thread and one on a second thread: each leaves a report
# at the root of drive C:, apologises in a message box and ends the process
# with no other fault dialog.
source "$(dirname "$0")/harness.sh"

faulter="$BRANTEL_BUILD/tests/faulter.exe"
drive_c="$WINEPREFIX/drive_c"
reports() { find "$drive_c" -maxdepth 1 -name '错误报告_faulter.exe.*.TXT'; }
remove_reports() { reports | xargs -r rm -f; }
trap 'remove_reports; harness_cleanup' EXIT
remove_reports

for where in main thread; do
  (exec "$wine_run" "$faulter" "$where" >"$scratch/out.txt" 2>&1) &
  program_pid=$!
  pid=$program_pid
  text=$(drive msgbox 30 | tr -d "\r") || fail "$where: no message box; faulter said: $(cat "$scratch/out.txt")"
  expect_eq "$where: box caption" "程序异常" "$(drive msgbox-caption)"
  expect_eq "$where: apology" "Fenwa系统异常，对给您带来的不便表示歉意!!" "$(head -1 <<<"$text")"
  grep -q "技术支持" <<<"$text" || fail "$where: no support contact in the box: $text"
  drive dismiss
  console_wait_exit 15
  status=0
  wait "$pid" || status=$?
  ((status != 0 && status != 2 && status != 3)) || fail "$where: the faulter ended by itself ($status)"
  drive no-msgbox 2

  found=$(reports)
  expect_eq "$where: report files" 1 "$(grep -c . <<<"$found")"
  report=$(iconv -f CP936 -t UTF-8 "$found" | tr -d '\r')
  exception=$(grep '^Exception code:' <<<"$report")
  expect_eq "$where: exception line" "Exception code: C0000005 ACCESS_VIOLATION" "$exception"
  fault=$(grep '^Fault address:' <<<"$report")
  [[ "$fault" =~ ^Fault\ address:\ \ ([0-9A-F]{16})\ 01:[0-9A-F]{8}\ [A-Z]:.*\\faulter\.exe$ ]] ||
    fail "$where: fault line: $fault"
  address=${BASH_REMATCH[1]}
  first=$(grep -A2 '^Call stack:' <<<"$report" | tail -1)
  [[ "$first" == "$address  "* && "$first" == *" 0001:"*"\\faulter.exe" ]] ||
    fail "$where: first call-stack line: $first"
  frames=$(sed -n '/^Call stack:/,$p' <<<"$report" | grep -c 'faulter\.exe$')
  ((frames >= 3)) || fail "$where: the stack shows only $frames frame(s) of the faulter: $report"
  echo "ok: $where: report, $frames frames in the faulter"
  remove_reports
done
