#!/usr/bin/env bash
# The program under a real panel: Xfce's xfce4-panel with its status tray (a StatusNotifier host and
# an X11 tray in one) on a private X server, session bus and home. A left click on the icon shows the
# memo window; a right click shows the program's menu drawn by the panel, and 終了 chosen there with
# the pointer ends the program and writes nothing.
# Usage: xfce_panel_test.sh SCRIVLET HELPER_FOLDER
set -euo pipefail
program=$1
helpers=$2
. "$(dirname "$0")/x11session.sh"
. "$(dirname "$0")/dbussession.sh"

portable_copy "$program"
# GTK asks for no accessibility bus of its own.
export NO_AT_BRIDGE=1

# A panel along the top holding the status tray alone, so the icon is the first thing in it.
panel_size=32
mkdir -p "$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml"
cat >"$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml/xfce4-panel.xml" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="length" type="uint" value="100"/>
      <property name="size" type="uint" value="$panel_size"/>
      <property name="plugin-ids" type="array">
        <value type="int" value="1"/>
      </property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="systray">
      <property name="square-icons" type="bool" value="true"/>
    </property>
  </property>
</channel>
XML

start_x_server
start_session_bus
start_background xfconfd /usr/lib/x86_64-linux-gnu/xfce4/xfconf/xfconfd
name_owned() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner "string:$1" 2>/dev/null | grep -q 'boolean true'
}
wait_for 30 "Xfce settings service" name_owned org.xfce.Xfconf
start_background panel xfce4-panel --disable-wm-check
wait_for 60 "the panel's StatusNotifier watcher" name_owned org.kde.StatusNotifierWatcher

# The panel's own window, the widest one along the top.
panel_window() {
    local w
    for w in $(xdotool search --onlyvisible --class xfce4-panel 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$w")"
        [ "$Y" -eq 0 ] && [ "$WIDTH" -ge 500 ] && echo "$w" && return 0
    done
    return 1
}
wait_for 30 "panel window" panel_window >/dev/null
eval "$(xdotool getwindowgeometry --shell "$(panel_window)")"
# The first icon of the tray; the panel draws a frame a few pixels wide around its plugins.
icon_x=$((X + panel_size / 2 + 2))
icon_y=$((Y + panel_size / 2))
# The square the icon takes, inside that frame: plain panel until the panel has drawn the icon there.
icon_square=("$((X + 2))" "$((Y + 2))" "$((panel_size - 2))" "$((panel_size - 4))")
drawn "${icon_square[@]}" && fail "something is drawn where the icon goes before the program started"

echo "start: the icon goes to the panel"
start_background scrivlet "$folder/Scrivlet"
pid=$last_pid
registered() {
    dbus-send --session --print-reply --dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
        org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierWatcher \
        string:RegisteredStatusNotifierItems 2>/dev/null | grep -q '^ *string "'
}
wait_for 60 "icon registered with the panel" registered
# Registered is not yet shown: a click before the panel has drawn the icon lands on the bare panel.
wait_for 30 "icon drawn on the panel" drawn "${icon_square[@]}"
has_embedded_icon "$pid" && fail "an XEmbed icon as well"

echo "left click on the icon: the memo window"
memo_shown() {
    has_visible_window_titled "$pid" "$title"
}
clicked_icon() { # BUTTON
    xdotool mousemove "$icon_x" "$icon_y" click "$1"
}
clicked_icon 1
wait_for 30 "memo window after a left click" memo_shown

echo "最小化 hides it (without a window manager it lies over the panel)"
memo_window=$(visible_windows_titled "$pid" "$title")
xdotool windowfocus "$memo_window"
focused() {
    [ "$(xdotool getwindowfocus -f 2>/dev/null)" = "$memo_window" ]
}
wait_for 30 "keyboard focus in the memo window" focused
xdotool key alt+m
memo_hidden() {
    ! memo_shown
}
wait_for 30 "memo window hidden" memo_hidden

echo "right click: the program's menu drawn by the panel; 終了 ends it and writes nothing"
cp "$ini" "$session_dir/ini.before"
visible_top_windows() {
    xdotool search --onlyvisible --maxdepth 1 "" 2>/dev/null | sort
}
before=$(visible_top_windows)
menu_window() {
    local w
    for w in $(comm -13 <(echo "$before") <(visible_top_windows)); do
        eval "$(xdotool getwindowgeometry --shell "$w")"
        [ "$HEIGHT" -ge 30 ] && [ "$HEIGHT" -lt 200 ] && echo "$w" && return 0
    done
    return 1
}
# Two items of equal height: 終了 is the lower one, its label across the middle of the lower half.
exit_item_drawn() {
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$menu")"
    drawn "$((X + 8))" "$((Y + HEIGHT * 5 / 8))" "$((WIDTH - 16))" "$((HEIGHT / 4))"
}
clicked_icon 3
wait_for 30 "the panel's menu" menu_window >/dev/null
menu=$(menu_window)
wait_for 30 "終了 drawn in the panel's menu" exit_item_drawn
eval "$(xdotool getwindowgeometry --shell "$menu")"
xdotool mousemove "$((X + WIDTH / 2))" "$((Y + HEIGHT * 3 / 4))"
xdotool click 1
wait_for 30 "end of the program after 終了" ended "$pid"
code=0
wait "$pid" || code=$?
[ "$code" = 0 ] || fail "終了 ended the program with exit code $code"
cmp -s "$ini" "$session_dir/ini.before" || fail "終了 wrote Scrivlet.ini"
[ -z "$(ls -A "$folder/files" 2>/dev/null)" ] || fail "終了 saved a memo"

echo "PASS"
