# A private X server with a notification area, for running the real program the way a person does.
# Sourced by the end-to-end tests and the start-up benchmark, with $helpers naming the folder of
# e2e_tray_probe and e2e_bind_keys. Every process started here is recorded and ended on exit; nothing
# else is touched. Needs Xvfb, trayer, xdotool and xwininfo.

# xdotool reads the text it types in the locale's encoding; Japanese needs UTF-8 whatever the caller had.
export LC_ALL=C.UTF-8

session_pids=() # "PID:START" with the process's start time, so that a number reused is never hit
session_dir=$(mktemp -d "${TMPDIR:-/tmp}/scrivlet-x11.XXXXXX")

# A home of its own: whatever a program started here keeps in the user's folders stays in the session.
export HOME="$session_dir/home"
export XDG_DATA_HOME="$HOME/.local/share" XDG_CONFIG_HOME="$HOME/.config" XDG_CACHE_HOME="$HOME/.cache" \
    XDG_STATE_HOME="$HOME/.local/state"
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_STATE_HOME"

# Fields of /proc/PID/stat after the command name: state first, start time twentieth.
proc_field() {
    local stat
    stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
    stat=${stat##*) }
    # shellcheck disable=SC2086
    set -- "$2" $stat
    shift "$1"
    echo "$1"
}

# A process that has ended but not been waited for still answers kill -0; its state tells.
is_running() {
    local state
    state=$(proc_field "$1" 1) || return 1
    [ "$state" != Z ] && [ "$state" != X ]
}

# ended PID: the process is gone; one not yet waited for counts as gone.
ended() {
    ! is_running "$1"
}

# remember_pid PID: a process this session started and has to end.
remember_pid() {
    session_pids+=("$1:$(proc_field "$1" 20 || true)")
}

# Whether the process remembered as PID:START is still that one and still running.
is_ours_and_running() {
    local pid=${1%%:*} start=${1#*:}
    [ -n "$start" ] && [ "$(proc_field "$pid" 20 || true)" = "$start" ] && is_running "$pid"
}

session_cleanup() {
    local i entry pid
    # Last started first: the programs end before the tray host and the X server they talk to.
    for ((i = ${#session_pids[@]} - 1; i >= 0; i--)); do
        entry=${session_pids[i]}
        pid=${entry%%:*}
        is_ours_and_running "$entry" || continue
        kill "$pid" 2>/dev/null || true
        # A process that ignores SIGTERM for five seconds is killed.
        for _ in $(seq 50); do
            is_ours_and_running "$entry" || break
            sleep 0.1
        done
        is_ours_and_running "$entry" && kill -KILL "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null || true
    done
    [ -n "${KEEP_SESSION_DIR:-}" ] || rm -rf "$session_dir"
}
trap session_cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    local log
    for log in "$session_dir"/*.log; do
        [ -s "$log" ] || continue
        echo "--- $(basename "$log")" >&2
        tail -n 20 "$log" >&2
    done
    exit 1
}

now_ms() {
    echo $(($(date +%s%N) / 1000000))
}

# wait_for SECONDS WHAT COMMAND...: runs COMMAND until it succeeds; fails the run after SECONDS.
wait_for() {
    local limit=$1 what=$2
    shift 2
    local deadline=$(($(now_ms) + limit * 1000))
    until "$@"; do
        (($(now_ms) < deadline)) || fail "no $what within ${limit}s"
        sleep 0.02
    done
}

# start_background NAME COMMAND...: starts COMMAND, records it for cleanup, sets last_pid.
start_background() {
    local name=$1
    shift
    "$@" >"$session_dir/$name.log" 2>&1 &
    last_pid=$!
    remember_pid "$last_pid"
}


start_x_server() {
    # -displayfd picks a free display, so runs side by side never meet; the number arrives when the
    # server accepts connections. -noreset: a server that resets after its last client refuses the next
    # one for a moment. -br: a plain black root, so that nothing unpainted looks drawn (see drawn below).
    Xvfb -displayfd 3 -nolisten tcp -noreset -br -screen 0 1024x768x24 \
        3>"$session_dir/display" >"$session_dir/xvfb.log" 2>&1 &
    remember_pid "$!"
    wait_for 30 "X server" grep -q '^[0-9]' "$session_dir/display"
    export DISPLAY=":$(head -n1 "$session_dir/display")"
    # Qt draws on this server, never offscreen, and finds no StatusNotifier host: the icon goes to the
    # tray host through XEmbed.
    export QT_QPA_PLATFORM=xcb
    unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY
    # In a sanitizer build, Qt's and D-Bus's own allocations kept until exit would turn every clean
    # end into a failure; these runs check behaviour, not leaks.
    export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
}

has_notification_area() {
    "$helpers/e2e_tray_probe" 2>/dev/null
}

# A notification area at the top right, ready when Qt sees it.
start_tray_host() {
    start_background trayer trayer --edge top --align right --widthtype pixel --width 120 \
        --heighttype pixel --height 28 --transparent false --expand false
    wait_for 30 "notification area" has_notification_area
}

# bind_keys TEXT: every character of TEXT gets a key of its own before the program starts.
bind_keys() {
    "$helpers/e2e_bind_keys" "$1" || fail "cannot bind keys for $1"
}

# X clients that could wait forever on a wedged server get a limit.
xdotool() {
    timeout 20 /usr/bin/env xdotool "$@"
}
xwininfo() {
    timeout 20 /usr/bin/env xwininfo "$@"
}

root_window() {
    xwininfo -root | awk '/Window id:/ { print $4; exit }'
}

# The icon window of process PID once the tray host has taken it in (its parent is no longer the
# root window), in decimal; nothing while it is not embedded.
embedded_icon() {
    local pid=$1 root w parent
    root=$(root_window)
    for w in $(xdotool search --pid "$pid" 2>/dev/null); do
        parent=$(xwininfo -children -id "$w" 2>/dev/null | awk '/Parent window id:/ { print $4; exit }')
        if [ -n "$parent" ] && [ "$((parent))" -ne "$((root))" ]; then
            echo "$w"
            return 0
        fi
    done
    return 1
}

has_embedded_icon() {
    embedded_icon "$1" >/dev/null
}

# drawn X Y WIDTH HEIGHT: the screen shows more than one colour there, so something is drawn on the
# plain background of the root, a panel, a tray or a window not painted yet.
drawn() {
    "$helpers/e2e_tray_probe" drawn "$@"
}

# "X Y WIDTH HEIGHT" of a window on the screen, from xwininfo's report on standard input.
window_geometry() {
    awk '/Absolute upper-left X:/ { x = $4 } /Absolute upper-left Y:/ { y = $4 }
        /^ *Width:/ { w = $2 } /^ *Height:/ { h = $2 } END { print x, y, w, h }'
}

# Whether window W is on the screen (it and every window around it mapped) and has drawn something.
window_drawn() {
    local info
    info=$(xwininfo -id "$1" 2>/dev/null) || return 1
    grep -q 'Map State: IsViewable' <<<"$info" || return 1
    # shellcheck disable=SC2046
    drawn $(window_geometry <<<"$info")
}

# The icon of process PID as a person sees it before clicking: taken in by the tray host and drawn.
icon_drawn() {
    local w
    w=$(embedded_icon "$1") && window_drawn "$w"
}

# Visible windows of process PID whose title is exactly TITLE (xdotool matches substrings, any case).
visible_windows_titled() {
    local pid=$1 title=$2 w
    for w in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
        [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "$title" ] && echo "$w"
    done
    return 0
}

has_visible_window_titled() {
    [ -n "$(visible_windows_titled "$1" "$2")" ]
}

# Clicks BUTTON in the middle of window W, in one xdotool call so the click follows the move. The
# pointer is moved without --sync, which can hang when it is already there.
click_window() {
    local w=$1 button=$2 X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$w")"
    xdotool mousemove "$((X + WIDTH / 2))" "$((Y + HEIGHT / 2))" click "$button"
}

rss_kb() {
    awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"
}

# The memo window's title, by which the scenarios find it.
title="Zormet Scrivlet"

# Lines as the memo files hold them: CP932, each ended by CR LF.
cp932_lines() {
    printf '%s\r\n' "$@" | iconv -f UTF-8 -t CP932
}

# The copy of unsaved edits of memo N the program keeps in the state folder, when there is one.
copy_of() {
    compgen -G "$XDG_STATE_HOME/Scrivlet/*/$(printf 'text%04d.txt' "$1")" | head -n1
}
# copy_holds N TEXT: the program has taken in TEXT typed into memo N; it copies it about a second after
# typing pauses.
copy_holds() {
    local copy
    copy=$(copy_of "$1")
    [ -n "$copy" ] && [ "$(cat "$copy")" = "$2" ]
}

# portable_copy PROGRAM: the program copied into $folder, whose files folder keeps memos and settings
# beside it; $ini, $memo0 and $memo1 name its files.
portable_copy() {
    folder="$session_dir/program folder"
    mkdir -p "$folder/files"
    cp "$1" "$folder/Scrivlet"
    ini="$folder/Scrivlet.ini"
    memo0="$folder/files/text0000.txt"
    memo1="$folder/files/text0001.txt"
}
