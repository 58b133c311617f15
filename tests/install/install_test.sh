#!/usr/bin/env bash
# cmake --install into a scratch root: the file list, the desktop entries and metainfo as the desktop's
# validators see them, then the installed Scrivlet saving a memo into the user's data folder and
# nothing beside itself, and the installed utility finding that folder.
# Usage: install_test.sh BUILD_FOLDER HELPER_FOLDER
set -euo pipefail
build=$1
helpers=$2
. "$(dirname "$0")/../e2e/x11session.sh"

dest="$session_dir/root"
bin="$dest/usr/bin"
app_id=io.github.scrivlet.Scrivlet
title="Zormet Scrivlet"

echo "cmake --install: every file where the desktop looks for it"
DESTDIR="$dest" cmake --install "$build" --prefix /usr >"$session_dir/install.log" 2>&1 || fail "cmake --install failed"
installed_files() {
    (cd "$dest" && find . \( -type f -o -type l \) -printf '%P\n' | LC_ALL=C sort)
}
expected=(
    usr/bin/Scrivlet
    usr/bin/ScrivletUtility
    "usr/share/applications/$app_id.desktop"
    usr/share/applications/io.github.scrivlet.ScrivletUtility.desktop
    usr/share/doc/scrivlet/LICENSE
    usr/share/doc/scrivlet/README.md
    "usr/share/metainfo/$app_id.metainfo.xml"
    usr/share/icons/hicolor/scalable/apps/scrivlet.svg
)
for size in 16 32 48 64 128 256; do
    expected+=("usr/share/icons/hicolor/${size}x${size}/apps/scrivlet.png")
done
printf '%s\n' "${expected[@]}" | LC_ALL=C sort >"$session_dir/files.expected"
installed_files >"$session_dir/files.installed"
diff -u "$session_dir/files.expected" "$session_dir/files.installed" >&2 || fail "the installed files differ"
[ -x "$bin/Scrivlet" ] && [ -x "$bin/ScrivletUtility" ] || fail "the programs are not executable"

# Width and height from the PNG header (big-endian, bytes 16 to 23).
png_size() {
    od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d\n", $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }'
}
for size in 16 32 48 64 128 256; do
    png="$dest/usr/share/icons/hicolor/${size}x${size}/apps/scrivlet.png"
    [ "$(png_size "$png")" = "${size}x${size}" ] || fail "$png is $(png_size "$png")"
done

echo "desktop entries and metainfo pass the validators; their programs and icon are installed"
for entry in "$dest"/usr/share/applications/*.desktop; do
    desktop-file-validate "$entry" >&2 || fail "desktop-file-validate rejects $(basename "$entry")"
    exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
    icon=$(sed -n 's/^Icon=//p' "$entry")
    [ -x "$bin/$exec_name" ] || fail "$(basename "$entry") starts $exec_name, which is not installed"
    [ -f "$dest/usr/share/icons/hicolor/48x48/apps/$icon.png" ] || fail "$(basename "$entry") shows icon $icon, which is not installed"
done
grep -qx 'StartupNotify=false' "$dest/usr/share/applications/$app_id.desktop" || fail "the tray program would show a busy pointer at start"
appstreamcli validate --no-net "$dest/usr/share/metainfo/$app_id.metainfo.xml" >&2 || fail "appstreamcli rejects the metainfo"

echo "the installed Scrivlet keeps its memo in the data folder and writes nothing beside itself"
[ ! -e "$XDG_DATA_HOME/Scrivlet" ] || fail "the data folder is there before the first start"
start_x_server
start_tray_host
start_background scrivlet "$bin/Scrivlet"
pid=$last_pid
wait_for 60 "embedded icon" has_embedded_icon "$pid"
click_window "$(embedded_icon "$pid")" 1
wait_for 30 "memo window" has_visible_window_titled "$pid" "$title"
memo_window=$(visible_windows_titled "$pid" "$title")
focused() {
    [ "$(xdotool getwindowfocus -f 2>/dev/null)" = "$memo_window" ]
}
wait_for 30 "keyboard focus in the memo window" focused
xdotool type "installed memo"
xdotool key alt+s
memo="$XDG_DATA_HOME/Scrivlet/files/text0000.txt"
printf 'installed memo\r\n' >"$session_dir/memo.expected"
saved() {
    cmp -s "$memo" "$session_dir/memo.expected"
}
wait_for 30 "memo saved in $memo" saved
grep -q $'^UpChkBuild=' "$XDG_DATA_HOME/Scrivlet/Scrivlet.ini" || fail "the settings are not in the data folder"
installed_files >"$session_dir/files.after"
diff -u "$session_dir/files.installed" "$session_dir/files.after" >&2 || fail "the program wrote into the installed tree"

echo "the installed utility finds the data folder"
start_background utility "$bin/ScrivletUtility"
utility=$last_pid
wait_for 60 "utility window" has_visible_window_titled "$utility" "Zormet Scrivlet Utility"
has_visible_window_titled "$utility" "Scrivlet Utility" && fail "the utility refused to start"

echo "PASS"
