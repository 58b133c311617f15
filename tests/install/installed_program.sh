# Checks of an installed Scrivlet under ROOT (a DESTDIR, or / for the package), sourced after
# x11session.sh by install_test.sh and deb_check.sh.

app_id=io.github.scrivlet.Scrivlet
icon_sizes=(16 32 48 64 128 256)

# The files an install puts under ROOT, relative to it.
expected_files() {
    printf '%s\n' usr/bin/Scrivlet usr/bin/ScrivletUtility \
        "usr/share/applications/$app_id.desktop" usr/share/applications/io.github.scrivlet.ScrivletUtility.desktop \
        usr/share/doc/scrivlet/LICENSE usr/share/doc/scrivlet/README.md usr/share/doc/scrivlet/copyright \
        usr/share/doc/scrivlet/changelog.gz usr/share/man/man1/Scrivlet.1.gz usr/share/man/man1/ScrivletUtility.1.gz \
        usr/share/bash-completion/completions/Scrivlet \
        "usr/share/metainfo/$app_id.metainfo.xml" usr/share/icons/hicolor/scalable/apps/scrivlet.svg
    local size
    for size in "${icon_sizes[@]}"; do
        echo "usr/share/icons/hicolor/${size}x${size}/apps/scrivlet.png"
    done
}

# Width and height from the PNG header (big-endian, bytes 16 to 23).
png_size() {
    od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d\n", $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }'
}

# check_entries ROOT: icons of the right sizes, desktop entries and metainfo that pass the validators
# and name programs and an icon that are installed.
check_entries() {
    local root=$1 size png entry exec_name icon
    [ -x "$root/usr/bin/Scrivlet" ] && [ -x "$root/usr/bin/ScrivletUtility" ] || fail "the programs are not executable"
    for size in "${icon_sizes[@]}"; do
        png="$root/usr/share/icons/hicolor/${size}x${size}/apps/scrivlet.png"
        [ "$(png_size "$png")" = "${size}x${size}" ] || fail "$png is $(png_size "$png")"
    done
    for entry in "$root"/usr/share/applications/io.github.scrivlet.*.desktop; do
        desktop-file-validate "$entry" >&2 || fail "desktop-file-validate rejects $(basename "$entry")"
        icon=$(sed -n 's/^Icon=//p' "$entry")
        # The entry and each of its actions.
        for exec_name in $(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry" | sort -u); do
            [ -x "$root/usr/bin/$exec_name" ] || fail "$(basename "$entry") starts $exec_name, which is not installed"
        done
        [ -f "$root/usr/share/icons/hicolor/48x48/apps/$icon.png" ] ||
            fail "$(basename "$entry") shows icon $icon, which is not installed"
    done
    grep -qx 'StartupNotify=false' "$root/usr/share/applications/$app_id.desktop" ||
        fail "the tray program would show a busy pointer at start"
    appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml" >&2 ||
        fail "appstreamcli rejects the metainfo"
}

# run_installed BIN: on this session's X server with a notification area, the installed Scrivlet saves
# a memo typed in its window into $XDG_DATA_HOME/Scrivlet/ and writes nothing into BIN; then the
# installed utility finds that folder and opens its window.
run_installed() {
    local bin=$1 title="Zormet Scrivlet" pid memo_window
    [ ! -e "$XDG_DATA_HOME/Scrivlet" ] || fail "the data folder is there before the first start"
    ls -A "$bin" >"$session_dir/bin.before"
    start_background scrivlet "$bin/Scrivlet"
    pid=$last_pid
    wait_for 60 "icon drawn in the tray" icon_drawn "$pid"
    click_window "$(embedded_icon "$pid")" 1
    wait_for 30 "memo window" has_visible_window_titled "$pid" "$title"
    memo_window=$(visible_windows_titled "$pid" "$title")
    focused() {
        [ "$(xdotool getwindowfocus -f 2>/dev/null)" = "$memo_window" ]
    }
    wait_for 30 "keyboard focus in the memo window" focused
    xdotool type "installed memo"
    xdotool key alt+s
    printf 'installed memo\r\n' >"$session_dir/memo.expected"
    saved() {
        cmp -s "$XDG_DATA_HOME/Scrivlet/files/text0000.txt" "$session_dir/memo.expected"
    }
    wait_for 30 "memo saved in $XDG_DATA_HOME/Scrivlet/files/" saved
    grep -q '^UpChkBuild=' "$XDG_DATA_HOME/Scrivlet/Scrivlet.ini" || fail "the settings are not in the data folder"
    [ "$("$bin/Scrivlet" --list)" = $'0000\tinstalled memo' ] || fail "the installed Scrivlet --list: $("$bin/Scrivlet" --list 2>&1)"
    "$bin/Scrivlet" --quit || fail "the installed Scrivlet --quit failed"
    wait_for 30 "end of the installed program after --quit" ended "$pid"
    ls -A "$bin" >"$session_dir/bin.after"
    diff -u "$session_dir/bin.before" "$session_dir/bin.after" >&2 || fail "the program wrote beside itself in $bin"

    start_background utility "$bin/ScrivletUtility"
    wait_for 60 "utility window" has_visible_window_titled "$last_pid" "Zormet Scrivlet Utility"
    ! has_visible_window_titled "$last_pid" "Scrivlet Utility" || fail "the utility refused to start"
}
