#!/usr/bin/env bash
# Typed text survives a crash: the window hidden with Esc, the program killed outright, started again,
# the text offered back, accepted and saved. The copy kept for this goes whenever the edits end the
# ordinary way (saved, discarded by Next with automatic saving off, Exit).
# Usage: recovery_test.sh SCRIVLET HELPER_FOLDER
set -euo pipefail
program=$1
helpers=$2
. "$(dirname "$0")/x11session.sh"

portable_copy "$program"

has_copy() {
    [ -n "$(copy_of "$1")" ]
}
has_no_copy() {
    ! has_copy "$1"
}
file_is() { # FILE EXPECTED_FILE
    cmp -s "$1" "$2"
}

# start_and_show: the program started, its memo window shown and focused; sets pid, icon, memo_window.
focused() {
    [ "$(xdotool getwindowfocus -f 2>/dev/null)" = "$memo_window" ]
}
start_and_show() {
    start_background "scrivlet$1" "$folder/Scrivlet"
    pid=$last_pid
    wait_for 60 "icon drawn in the tray" icon_drawn "$pid"
    icon=$(embedded_icon "$pid")
    click_window "$icon" 1
    wait_for 30 "memo window" has_visible_window_titled "$pid" "$title"
    memo_window=$(visible_windows_titled "$pid" "$title")
    wait_for 30 "keyboard focus in the memo window" focused
}

text="復元する日本語のメモ"

start_x_server
bind_keys "$text"
start_tray_host

echo "typing, Esc, then the program is killed"
start_and_show 1
xdotool type "$text"
xdotool key Escape
memo_hidden() {
    ! has_visible_window_titled "$pid" "$title"
}
wait_for 30 "hidden memo window" memo_hidden
wait_for 30 "copy of the typed text" copy_holds 0 "$text"
[ -e "$memo0" ] && fail "the memo was written without a save"
kill -KILL "$pid"
wait_for 30 "end of the killed program" ended "$pid"
{ wait "$pid"; } 2>/dev/null || true

echo "started again: the text is offered back and accepted"
start_background scrivlet2 "$folder/Scrivlet"
pid=$last_pid
# The question comes at start, before any click on the icon.
wait_for 60 "recovery question" has_visible_window_titled "$pid" "$title"
box=$(visible_windows_titled "$pid" "$title")
xdotool windowfocus "$box"
box_focused() {
    [ "$(xdotool getwindowfocus -f 2>/dev/null)" = "$box" ]
}
wait_for 30 "keyboard focus in the question" box_focused
[ -e "$memo0" ] && fail "recovery wrote the memo by itself"
xdotool key Return
memo_window_instead_of_box() {
    memo_window=$(visible_windows_titled "$pid" "$title")
    [ -n "$memo_window" ] && [ "$memo_window" != "$box" ]
}
wait_for 30 "memo window after the question" memo_window_instead_of_box
wait_for 60 "icon drawn in the tray" icon_drawn "$pid"
icon=$(embedded_icon "$pid")
wait_for 30 "keyboard focus in the memo window" focused

echo "saved: the memo holds the text and the copy is gone"
xdotool key alt+s
cp932_lines "$text" >"$session_dir/memo.expected"
wait_for 30 "saved memo" file_is "$memo0" "$session_dir/memo.expected"
wait_for 30 "copy removed after the save" has_no_copy 0

echo "Next with automatic saving off: the edits and their copy are discarded"
xdotool key ctrl+End
xdotool type "discarded"
wait_for 30 "copy of the new edits" has_copy 0
xdotool key alt+n
wait_for 30 "copy removed after Next" has_no_copy 0
file_is "$memo0" "$session_dir/memo.expected" || fail "Next with automatic saving off wrote the memo"

echo "Exit: the edits and their copy are discarded"
xdotool type "not kept"
wait_for 30 "copy of memo 1" has_copy 1
menu_open() {
    xdotool search --onlyvisible --pid "$pid" | grep -vx -e "$icon" -e "$memo_window" >/dev/null
}
click_window "$icon" 3
wait_for 30 "icon menu" menu_open
xdotool key x
wait_for 30 "end of the program after Exit" ended "$pid"
has_no_copy 1 || fail "Exit left the copy of memo 1"
[ -e "$memo1" ] && fail "Exit wrote memo 1"

echo "PASS"
