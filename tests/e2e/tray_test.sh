#!/usr/bin/env bash
# The program as a person uses it, on a real X server with a notification area: start, icon, window,
# typing, saving, a second copy, Exit, the system ending it, and a crash.
# Usage: tray_test.sh SCRIVLET HELPER_FOLDER BUILD_NUMBER
set -euo pipefail
program=$1
helpers=$2
build_number=$3
. "$(dirname "$0")/x11session.sh"

portable_copy "$program"

file_is() { # FILE EXPECTED_FILE
    cmp -s "$1" "$2"
}
# Sets code to the exit code of PID, which has ended; in this shell, since only it can wait for PID.
collect_exit_code() {
    code=0
    wait "$1" || code=$?
}

text="日本語のメモ、テスト１２３"

start_x_server
bind_keys "$text"
start_tray_host

echo "start: the icon only"
start_background scrivlet "$folder/Scrivlet"
first=$last_pid
wait_for 60 "icon drawn in the tray" icon_drawn "$first"
icon=$(embedded_icon "$first")
visible=$(xdotool search --onlyvisible --pid "$first" | grep -vx "$icon" || true)
[ -z "$visible" ] || fail "a window is visible after start: $visible"
printf '[Zormet Scrivlet Setting]\r\nUpChkBuild=%s\r\n' "$build_number" >"$session_dir/ini.expected"
file_is "$ini" "$session_dir/ini.expected" || fail "Scrivlet.ini after start: $(od -c "$ini" | head)"

echo "left click: the memo window, with the caret in the memo"
click_window "$icon" 1
wait_for 30 "memo window" has_visible_window_titled "$first" "$title"
memo_window=$(visible_windows_titled "$first" "$title")
focused() {
    [ "$(xdotool getwindowfocus -f 2>/dev/null)" = "$memo_window" ]
}
wait_for 30 "keyboard focus in the memo window" focused

echo "typing Japanese and Alt+S: saved in CP932 with CR LF"
xdotool type "$text"
xdotool key alt+s
cp932_lines "$text" >"$session_dir/memo.expected"
wait_for 30 "saved memo" file_is "$memo0" "$session_dir/memo.expected"

echo "a second copy: its box, then it ends and writes nothing"
printf '[Zormet Scrivlet Setting]\r\nUpChkBuild=7\r\n' >"$ini"
cp "$ini" "$session_dir/ini.before-second"
start_background second "$folder/Scrivlet"
second=$last_pid
wait_for 60 "second copy's message box" has_visible_window_titled "$second" "$title"
has_embedded_icon "$second" && fail "the second copy added an icon"
box=$(visible_windows_titled "$second" "$title")
xdotool windowfocus "$box"
box_focused() {
    [ "$(xdotool getwindowfocus -f 2>/dev/null)" = "$box" ]
}
wait_for 30 "keyboard focus in the box" box_focused
xdotool key Return
wait_for 30 "end of the second copy" ended "$second"
collect_exit_code "$second"
[ "$code" = 0 ] || fail "the second copy ended with exit code $code"
file_is "$ini" "$session_dir/ini.before-second" || fail "the second copy wrote Scrivlet.ini"
is_running "$first" || fail "the first copy ended"
[ "$(embedded_icon "$first")" = "$icon" ] || fail "the first copy's icon is gone"

echo "Exit from the icon's menu: ends at once, saves nothing"
xdotool windowfocus "$memo_window"
wait_for 30 "keyboard focus back in the memo window" focused
xdotool type "not saved"
wait_for 30 "typed text taken in" copy_holds 0 "${text}not saved"
menu_open() {
    xdotool search --onlyvisible --pid "$first" | grep -vx -e "$icon" -e "$memo_window" >/dev/null
}
click_window "$icon" 3
wait_for 30 "icon menu" menu_open
xdotool key x
wait_for 30 "end of the program after Exit" ended "$first"
collect_exit_code "$first"
[ "$code" = 0 ] || fail "Exit ended the program with exit code $code"
file_is "$memo0" "$session_dir/memo.expected" || fail "Exit saved the memo"
grep -q LastFileNum "$ini" && fail "Exit wrote LastFileNum"

echo "the system ends it: the memo window saves as when closed"
start_background third "$folder/Scrivlet"
third=$last_pid
wait_for 60 "icon drawn after a restart" icon_drawn "$third"
icon=$(embedded_icon "$third")
click_window "$icon" 1
wait_for 30 "memo window" has_visible_window_titled "$third" "$title"
memo_window=$(visible_windows_titled "$third" "$title")
wait_for 30 "keyboard focus in the memo window" focused
xdotool key ctrl+End Return
xdotool type "saved at the end"
wait_for 30 "typed text taken in" copy_holds 0 "$text"$'\n'"saved at the end"
kill -TERM "$third"
wait_for 30 "end of the program on SIGTERM" ended "$third"
collect_exit_code "$third"
[ "$code" = 0 ] || fail "SIGTERM ended the program with exit code $code"
cp932_lines "$text" "saved at the end" >"$session_dir/memo.expected"
file_is "$memo0" "$session_dir/memo.expected" || fail "the memo was not saved on SIGTERM: $(od -c "$memo0" | head)"
grep -q $'^LastFileNum=0\r$' "$ini" || fail "LastFileNum was not written on SIGTERM"

echo "a crashed copy does not block the next start"
start_background crashed "$folder/Scrivlet"
crashed=$last_pid
wait_for 60 "embedded icon" has_embedded_icon "$crashed"
kill -KILL "$crashed"
{ wait "$crashed"; } 2>/dev/null || true
start_background after_crash "$folder/Scrivlet"
wait_for 60 "embedded icon after a crash" has_embedded_icon "$last_pid"

echo "PASS"
