#!/usr/bin/env bash
# A notification area that comes after the program, as at login when the panel is slow, and one that
# restarts or goes away: first an X11 tray (XEmbed, trayer), then a D-Bus one (StatusNotifier host on
# a private session bus). The program starts with its window on its own, takes the icon when the area
# comes, hides on 最小化 from then on, comes back to a restarted area, and shows its window again when
# the area stays away.
# Usage: late_tray_test.sh SCRIVLET HELPER_FOLDER
set -euo pipefail
program=$1
helpers=$2
. "$(dirname "$0")/x11session.sh"
. "$(dirname "$0")/dbussession.sh"

memo_shown() {
    has_visible_window_titled "$pid" "$title"
}
memo_hidden() {
    ! memo_shown
}
# Alt+M in the memo window, as a person presses it.
press_minimise() {
    local w
    w=$(visible_windows_titled "$pid" "$title")
    xdotool windowfocus "$w"
    focused() {
        [ "$(xdotool getwindowfocus -f 2>/dev/null)" = "$w" ]
    }
    wait_for 30 "keyboard focus in the memo window" focused
    xdotool key alt+m
}
# start_program NAME: a portable copy of the program in a folder of its own, started with no area there.
start_program() {
    local folder="$session_dir/$1"
    mkdir -p "$folder/files"
    cp "$program" "$folder/Scrivlet"
    start_background "$1" "$folder/Scrivlet"
    pid=$last_pid
    wait_for 60 "memo window of a program without a notification area" memo_shown
}
stop_program() {
    kill -TERM "$pid"
    wait_for 30 "end of the program" ended "$pid"
}

start_x_server

echo "X11: no tray at start, the window on its own"
has_notification_area && fail "a notification area is there before the tray host"
start_program xembed
echo "X11: the tray comes: the icon goes in, the window stays"
start_tray_host
trayer=$last_pid
wait_for 10 "icon in the tray that came late" has_embedded_icon "$pid"
memo_shown || fail "the memo window went when the tray came"
press_minimise
wait_for 10 "memo window hidden by 最小化" memo_hidden
is_running "$pid" || fail "the program ended"

echo "X11: the tray restarts: the icon comes back"
# The program shows its window once an area has been gone for four seconds, so only a restart shorter
# than three seconds shows that it waits; one that a busy machine made longer is tried again.
restart_tray() {
    local attempt started
    for attempt in 1 2 3; do
        started=$(now_ms)
        stop_background "$trayer"
        start_tray_host
        trayer=$last_pid
        if (($(now_ms) - started < 3000)); then
            wait_for 10 "icon in the restarted tray" has_embedded_icon "$pid"
            memo_hidden || fail "the memo window came up while the tray was back within moments"
            return 0
        fi
        echo "the tray took $(($(now_ms) - started)) ms to restart; once more"
        wait_for 10 "icon in the restarted tray" has_embedded_icon "$pid"
        if memo_shown; then
            press_minimise
            wait_for 10 "memo window hidden by 最小化" memo_hidden
        fi
    done
    fail "the tray never restarted within three seconds"
}
restart_tray

echo "X11: the tray goes for good: the window comes up"
stop_background "$trayer"
wait_for 15 "memo window after the tray went" memo_shown
stop_program

echo "D-Bus: no host at start, the window on its own"
start_session_bus
start_program statusnotifier
echo "D-Bus: the host comes: the icon registers, the window stays"
start_sni_host
wait_for 10 "item registered with the host that came late" has_sni_item "$pid"
memo_shown || fail "the memo window went when the host came"
press_minimise
wait_for 10 "memo window hidden by 最小化" memo_hidden

echo "D-Bus: the host restarts: the icon registers again"
stop_sni_host
start_sni_host
wait_for 10 "item registered with the restarted host" has_sni_item "$pid"
sni activate "$pid" || fail "Activate was refused after the restart"
wait_for 10 "memo window on Activate" memo_shown
press_minimise
wait_for 10 "memo window hidden by 最小化" memo_hidden

echo "D-Bus: the host goes for good: the window comes up"
stop_sni_host
wait_for 15 "memo window after the host went" memo_shown
stop_program

echo "PASS"
