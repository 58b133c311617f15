#!/usr/bin/env bash
# The command line against the real program on a real X server with a notification area: options
# that need no running copy, options handed to the running copy, and each with no copy running.
# Usage: command_line_test.sh SCRIVLET HELPER_FOLDER BUILD_NUMBER
set -euo pipefail
program=$1
helpers=$2
. "$(dirname "$0")/x11session.sh"

portable_copy "$program"
memo() { # N: the file of memo N
    printf '%s/files/text%04d.txt' "$folder" "$1"
}
# cli EXPECTED_CODE ARGS...: runs a start with options; its standard output lands in $out, its
# standard error in $err.
cli() {
    local expected=$1 code=0
    shift
    out=$(timeout 60 "$folder/Scrivlet" "$@" 2>"$session_dir/err") || code=$?
    err=$(cat "$session_dir/err")
    [ "$code" = "$expected" ] || fail "Scrivlet $* exited with $code, not $expected: $err"
}

echo "no display, no running copy: --list, --search, --new"
cp932_lines "alpha" "second line" >"$(memo 0)"
cp932_lines "ＢＥＴＡ かな" >"$(memo 2)"
printf '[Zormet Scrivlet Setting]\r\nAutoSave=1\r\n' >"$ini"
cli 1 --quit
[[ $err == *ありません* ]] || fail "--quit with no copy running: $err"
DISPLAY= cli 0 --new "from an argument"
[ "$out" = 0001 ] || fail "--new TEXT printed $out"
cmp -s "$(memo 1)" <(cp932_lines "from an argument") || fail "--new TEXT wrote $(od -c "$(memo 1)")"
out=$(printf 'line 1\r\nline 2\n' | DISPLAY= timeout 60 "$folder/Scrivlet" --new)
[ "$out" = 0003 ] || fail "--new from standard input printed $out"
cmp -s "$(memo 3)" <(cp932_lines "line 1" "line 2") || fail "--new - wrote $(od -c "$(memo 3)")"
DISPLAY= cli 1 --new "é😀x😀"
[[ $err == *"é 😀"* ]] && [ ! -e "$(memo 4)" ] || fail "text CP932 cannot hold: $err"
DISPLAY= cli 0 --list
[ "$out" = $'0000\talpha\n0001\tfrom an argument\n0002\tＢＥＴＡ かな\n0003\tline 1' ] || fail "--list: $out"
DISPLAY= cli 0 --search beta --loose
[ "$out" = "$(memo 2)" ] || fail "--search --loose: $out"
DISPLAY= cli 1 --search beta

start_x_server
bind_keys "typed"
start_tray_host

echo "--open with no copy running: this start becomes the program and shows memo 2"
start_background scrivlet "$folder/Scrivlet" --open 2
pid=$last_pid
wait_for 60 "memo window" has_visible_window_titled "$pid" "$title"
wait_for 60 "icon drawn in the tray" icon_drawn "$pid"
memo_window=$(visible_windows_titled "$pid" "$title")
focused() {
    [ "$(xdotool getwindowfocus -f 2>/dev/null)" = "$memo_window" ]
}
xdotool windowfocus "$memo_window"
wait_for 30 "keyboard focus in the memo window" focused
xdotool type "typed"
wait_for 30 "typed text taken in by memo 2" copy_holds 2 "typedＢＥＴＡ かな"

echo "--toggle hides the active window and shows it again; --show shows it"
cli 0 --toggle
hidden() { ! has_visible_window_titled "$pid" "$title"; }
wait_for 30 "memo window hidden" hidden
cli 0 --toggle
wait_for 30 "memo window shown" window_drawn "$memo_window"
# Without a window manager only a click gives the focus back.
xdotool windowfocus "$memo_window"
wait_for 30 "keyboard focus in the memo window" focused
cli 0 --toggle
wait_for 30 "memo window hidden again" hidden
cli 0 --show
wait_for 30 "memo window shown again" window_drawn "$memo_window"

echo "--open with an edited memo shown: it is saved first"
cli 0 --open 0
cmp -s "$(memo 2)" <(cp932_lines "typedＢＥＴＡ かな") || fail "memo 2 not saved on --open: $(od -c "$(memo 2)")"

echo "--new from a launcher (no text on standard input): the lowest free number, nothing written"
cli 0 --new </dev/null
[ ! -e "$(memo 4)" ] || fail "--new wrote memo 4"

echo "--quit with a save the user cancels: the program stays"
xdotool windowfocus "$memo_window"
wait_for 30 "keyboard focus in the memo window" focused
xdotool type "typed"
wait_for 30 "typed text taken in by memo 4" copy_holds 4 "typed"
cp932_lines "written elsewhere" >"$(memo 4)"
timeout 60 "$folder/Scrivlet" --quit 2>"$session_dir/quit.err" &
quitter=$!
question() { [ "$(visible_windows_titled "$pid" "$title" | wc -l)" -ge 2 ]; }
wait_for 30 "the question about memo 4 written elsewhere" question
xdotool key Escape
code=0
wait "$quitter" || code=$?
[ "$code" = 1 ] || fail "--quit after a cancelled save exited with $code"
is_running "$pid" || fail "the program ended although its memo was not saved"

echo "--quit: saved as the end of the session saves, then the program ends"
rm "$(memo 4)"
cli 0 --quit
wait_for 30 "end of the program after --quit" ended "$pid"
cmp -s "$(memo 4)" <(cp932_lines "typed") || fail "memo 4 not saved on --quit: $(od -c "$(memo 4)")"

echo "PASS"
