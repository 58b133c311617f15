#!/usr/bin/env bash
# The program in a Wayland session (weston, headless) with a StatusNotifier host, as KDE Plasma and
# wlroots panels give it: the icon registers, the panel's left click shows the memo window, typed
# text is saved, and 終了 from the panel's menu ends the program. Windows are read and driven from
# outside through AT-SPI, since Wayland gives other clients no view of them.
# Usage: wayland_test.sh SCRIVLET HELPER_FOLDER
set -euo pipefail
program=$1
helpers=$2
. "$(dirname "$0")/x11session.sh"
. "$(dirname "$0")/dbussession.sh"

portable_copy "$program"
export LC_ALL=C.UTF-8
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
file_is() {
    cmp -s "$1" "$2"
}

start_wayland() {
    unset DISPLAY
    export WAYLAND_DISPLAY="scrivlet-$$"
    start_background weston weston --backend=headless-backend.so --use-pixman --socket="$WAYLAND_DISPLAY" \
        --idle-time=0 --width=1024 --height=768
    wait_for 30 "Wayland compositor" test -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY"
    export QT_QPA_PLATFORM=wayland
}

start_wayland
start_session_bus
start_accessibility
start_sni_host

echo "start: the icon registers, nothing is shown"
start_background scrivlet "$folder/Scrivlet"
pid=$last_pid
wait_for 60 "registered item" has_sni_item "$pid"
has_accessible() {
    atspi windows "$pid" >/dev/null 2>&1
}
wait_for 30 "the program's accessible windows" has_accessible
atspi_window_showing "$pid" "$title" && fail "a window is showing after start"
sni props "$pid" >"$session_dir/props" || fail "cannot read the item's properties"
grep -qx $'title\tスクリブレット' "$session_dir/props" || fail "tool tip: $(cat "$session_dir/props")"
sni menu "$pid" >"$session_dir/menu" || fail "cannot read the menu"
printf '%s\n' "書き込みフォーム表示(_V)" "終了(_X)" >"$session_dir/menu.expected"
cut -f2 "$session_dir/menu" | cmp -s - "$session_dir/menu.expected" || fail "menu: $(cat "$session_dir/menu")"

echo "the panel's left click: the memo window"
sni activate "$pid" || fail "Activate was refused"
wait_for 30 "memo window showing" atspi_window_showing "$pid" "$title"

echo "typed text is saved in CP932 with CR LF"
text="Waylandで書いたメモ１２３"
atspi settext "$pid" "$title" "$text" || fail "cannot type into the memo"
atspi press "$pid" "$title" "Save" || fail "cannot press Save"
cp932_lines "$text" >"$session_dir/memo.expected"
wait_for 30 "saved memo" file_is "$memo0" "$session_dir/memo.expected"

echo "終了 from the panel's menu: ends at once, writes nothing"
atspi settext "$pid" "$title" "not saved" || fail "cannot type into the memo"
exit_from_panel_menu "$pid"
file_is "$memo0" "$session_dir/memo.expected" || fail "終了 saved the memo"

echo "PASS"
