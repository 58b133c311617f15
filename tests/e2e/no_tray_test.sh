#!/usr/bin/env bash
# Without a notification area the program must not hide where no one can reach it: the memo window
# comes up at start, and when the system ends the program the memo is saved.
# Usage: no_tray_test.sh SCRIVLET HELPER_FOLDER BUILD_NUMBER
set -euo pipefail
program=$1
helpers=$2
build_number=$3
. "$(dirname "$0")/x11session.sh"

portable_copy "$program"
printf '[Zormet Scrivlet Setting]\r\nLastFileNum=12\r\n' >"$ini"
printf 'twelve\r\n' >"$folder/files/text0012.txt"

start_x_server
has_notification_area && fail "a notification area is there without a tray host"

echo "start: the memo window at once, no icon"
start_background scrivlet "$folder/Scrivlet"
pid=$last_pid
wait_for 60 "memo window" has_visible_window_titled "$pid" "$title"
memo_window=$(visible_windows_titled "$pid" "$title")
has_embedded_icon "$pid" && fail "an icon was added"
grep -q "^UpChkBuild=$build_number"$'\r$' "$ini" || fail "UpChkBuild was not written"
focused() {
    [ "$(xdotool getwindowfocus -f 2>/dev/null)" = "$memo_window" ]
}
wait_for 30 "keyboard focus in the memo window" focused

echo "the last memo is shown and editing it works; the system ends the program and it saves"
xdotool key ctrl+End Return
xdotool type "more"
wait_for 30 "typed text taken in" copy_holds 12 $'twelve\nmore'
kill -TERM "$pid"
wait_for 30 "end of the program on SIGTERM" ended "$pid"
code=0
wait "$pid" || code=$?
[ "$code" = 0 ] || fail "SIGTERM ended the program with exit code $code"
printf 'twelve\r\nmore\r\n' >"$session_dir/memo.expected"
cmp -s "$folder/files/text0012.txt" "$session_dir/memo.expected" || fail "memo 12 was not saved"
grep -q $'^LastFileNum=12\r$' "$ini" || fail "LastFileNum was not written"

echo "PASS"
