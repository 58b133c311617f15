#!/usr/bin/env bash
# The program with a D-Bus notification area (StatusNotifierItem, as KDE Plasma, GNOME's AppIndicator
# extension and Xfce show it), on a real X server: the icon registers with its tip, image and menu;
# the panel's left click shows the memo window; 終了 from the menu the panel draws ends the program
# and writes nothing.
# Usage: sni_test.sh SCRIVLET HELPER_FOLDER
set -euo pipefail
program=$1
helpers=$2
. "$(dirname "$0")/x11session.sh"
. "$(dirname "$0")/dbussession.sh"

portable_copy "$program"

start_x_server
start_session_bus
start_sni_host

echo "start: the icon registers, nothing is shown"
start_background scrivlet "$folder/Scrivlet"
pid=$last_pid
wait_for 60 "registered item" has_sni_item "$pid"
has_embedded_icon "$pid" && fail "an XEmbed icon as well"
[ -z "$(visible_windows_titled "$pid" "$title")" ] || fail "a window is visible after start"

echo "tool tip, icon image, menu"
sni props "$pid" >"$session_dir/props" || fail "cannot read the item's properties"
grep -qx $'title\tスクリブレット' "$session_dir/props" || fail "tool tip: $(cat "$session_dir/props")"
# A panel on a high-resolution screen draws from the larger images, not a 16-pixel one blown up.
grep -q $'^icon-pixmaps\t.*16x16.*64x64' "$session_dir/props" || fail "no icon images: $(cat "$session_dir/props")"
grep -q $'^menu\t/NO_DBUSMENU$' "$session_dir/props" && fail "no menu exported"
sni menu "$pid" >"$session_dir/menu" || fail "cannot read the menu"
printf '%s\n' "書き込みフォーム表示(_V)" "終了(_X)" >"$session_dir/menu.expected"
cut -f2 "$session_dir/menu" | cmp -s - "$session_dir/menu.expected" || fail "menu: $(cat "$session_dir/menu")"

echo "the panel's left click: the memo window"
sni activate "$pid" || fail "Activate was refused"
wait_for 30 "memo window" has_visible_window_titled "$pid" "$title"
memo_window=$(visible_windows_titled "$pid" "$title")
focused() {
    [ "$(xdotool getwindowfocus -f 2>/dev/null)" = "$memo_window" ]
}
wait_for 30 "keyboard focus in the memo window" focused
xdotool type "not saved"
wait_for 30 "typed text taken in" copy_holds 0 "not saved"

echo "終了 from the panel's menu: ends at once, writes nothing"
exit_from_panel_menu "$pid"
[ -z "$(ls -A "$folder/files" 2>/dev/null)" ] || fail "終了 saved a memo: $(ls "$folder/files")"

echo "PASS"
