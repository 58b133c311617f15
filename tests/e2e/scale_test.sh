#!/usr/bin/env bash
# Twice the desktop's font, as KDE Plasma hands it to Qt: every window of both programs twice its design
# size, whole on a 1024 × 768 screen, drawn, with the program's icon. Twice the pixels per point instead: the
# memo window twice as large too.
# Usage: scale_test.sh SCRIVLET HELPER_FOLDER BUILD_NUMBER
set -euo pipefail
program=$1
helpers=$2
. "$(dirname "$0")/x11session.sh"

portable_copy "$program"
cp "$(dirname "$program")/ScrivletUtility" "$folder/"
printf '[General]\nfont=Sans Serif,18,-1,5,50,0,0,0,0,0\n' >"$XDG_CONFIG_HOME/kdeglobals"
start_x_server

# whole PID TITLE MIN_WIDTH: the window lies on the screen, at least that wide, drawn, with an icon.
whole() {
    local w x y width height
    wait_for 60 "window $2" has_visible_window_titled "$1" "$2"
    w=$(visible_windows_titled "$1" "$2")
    wait_for 30 "$2 drawn" window_drawn "$w"
    read -r x y width height < <(xwininfo -id "$w" | window_geometry)
    echo "$2: ${width} × ${height} at $x, $y"
    ((x >= 0 && y >= 0 && x + width <= 1024 && y + height <= 768)) || fail "$2 leaves the screen"
    ((width >= $3)) || fail "$2 is only $width pixels wide"
    xprop -id "$w" -len 8 _NET_WM_ICON | grep -q 'Icon (' || fail "$2 has no icon"
}

gone() {
    ! has_visible_window_titled "$1" "$2"
}
memo_focused() {
    [ "$(xdotool getwindowfocus -f 2>/dev/null)" = "$(visible_windows_titled "$pid" "$title")" ]
}

echo "twice the font: the memo window, then each window its menu opens"
XDG_CURRENT_DESKTOP=KDE KDE_SESSION_VERSION=5 start_background scrivlet "$folder/Scrivlet"
pid=$last_pid
whole "$pid" "$title" 802
for item in "l:ファイル一覧:800" "a:全文検索ジャンプ:720" "v:Zormet Scrivlet バージョン情報 / 設定:800"; do
    IFS=: read -r key window width <<<"$item"
    # Without a window manager nobody gives the focus back when a dialog closes; a click would.
    xdotool windowfocus "$(visible_windows_titled "$pid" "$title")"
    wait_for 30 "keyboard focus in the memo window" memo_focused
    xdotool key alt+e
    # The menu's window goes by the program's name.
    wait_for 30 "menu" has_visible_window_titled "$pid" Scrivlet
    xdotool key "$key"
    whole "$pid" "$window" "$width"
    xdotool key Escape
    wait_for 30 "$window closed" gone "$pid" "$window"
done
XDG_CURRENT_DESKTOP=KDE KDE_SESSION_VERSION=5 start_background utility "$folder/ScrivletUtility"
whole "$last_pid" "Zormet Scrivlet Utility" 1000
kill "$pid"
wait_for 30 "end of the program" ended "$pid"

echo "twice the pixels per point: the memo window twice as large"
QT_SCALE_FACTOR=2 start_background scaled "$folder/Scrivlet"
whole "$last_pid" "$title" 802

echo "PASS"
