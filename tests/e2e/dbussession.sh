# A private session bus with a StatusNotifier host on it, as a D-Bus panel provides, and a temporary
# home for everything started. Sourced after x11session.sh (which it uses for process bookkeeping),
# with $helpers naming the folder of e2e_sni_host. Needs dbus-daemon.

# Nothing started here reads or writes the real user's folders.
export HOME="$session_dir/home"
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share" XDG_CACHE_HOME="$HOME/.cache"
export XDG_STATE_HOME="$HOME/.local/state" XDG_RUNTIME_DIR="$session_dir/runtime"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_STATE_HOME"
mkdir -m 700 -p "$XDG_RUNTIME_DIR"

# A session bus that starts no service by itself: whatever runs on it, the test started.
start_session_bus() {
    mkdir -p "$session_dir/no-services"
    cat >"$session_dir/bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=$session_dir</listen>
  <servicedir>$session_dir/no-services</servicedir>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF
    dbus-daemon --config-file="$session_dir/bus.conf" --nofork --nopidfile --print-address=3 \
        3>"$session_dir/bus" >"$session_dir/dbus.log" 2>&1 &
    remember_pid "$!"
    wait_for 30 "session bus" grep -q '^unix:' "$session_dir/bus"
    DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$session_dir/bus")
    export DBUS_SESSION_BUS_ADDRESS
}

# stop_background PID: ends one process this session started, and waits for it.
stop_background() {
    local entry
    for entry in "${session_pids[@]}"; do
        [ "${entry%%:*}" = "$1" ] || continue
        is_ours_and_running "$entry" && kill "$1" 2>/dev/null
        wait "$1" 2>/dev/null || true
        return 0
    done
    fail "stop_background: $1 was not started here"
}

host_count=0
watcher_owned() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.kde.StatusNotifierWatcher 2>/dev/null | grep -q 'boolean true'
}

# A fresh StatusNotifier host; it records the items that register in $items, one "SERVICE PATH" a line.
start_sni_host() {
    host_count=$((host_count + 1))
    items="$session_dir/items.$host_count"
    : >"$items"
    start_background "sni_host.$host_count" "$helpers/e2e_sni_host" host "$items"
    sni_host=$last_pid
    wait_for 30 "StatusNotifier watcher on the bus" watcher_owned
}

stop_sni_host() {
    stop_background "$sni_host"
    ! watcher_owned || fail "the watcher is still on the bus"
}

bus_name_pid() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.GetConnectionUnixProcessID "string:$1" 2>/dev/null | awk '/uint32/ { print $2 }'
}

# The item of process PID registered with the current host: "SERVICE PATH"; nothing while it is not.
# Items register under their connection's own name or one of their own; the bus tells whose it is.
# The last one counts: an item that registers again may do so under a new name.
sni_item() {
    local service path found=
    while read -r service path; do
        [ "$(bus_name_pid "$service")" = "$1" ] && found="$service $path"
    done <"$items"
    [ -z "$found" ] || echo "$found"
}
has_sni_item() {
    [ -n "$(sni_item "$1")" ]
}
sni() { # COMMAND PID [ARG]: the host's side of talking to process PID's item
    local command=$1 pid=$2
    shift 2
    # shellcheck disable=SC2046
    timeout 20 "$helpers/e2e_sni_host" "$command" $(sni_item "$pid") "$@"
}

# Accessibility on, with the session bus as the accessibility bus, so that windows can be read and
# driven from outside the program by AT-SPI.
start_accessibility() {
    start_background a11y "$helpers/e2e_atspi" bus
    a11y_owned() {
        dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
            org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null | grep -q 'boolean true'
    }
    wait_for 30 "accessibility bus" a11y_owned
}
atspi() {
    timeout 30 "$helpers/e2e_atspi" "$@"
}
# Whether process PID shows a window titled TITLE, as AT-SPI reports it.
atspi_window_showing() {
    atspi windows "$1" 2>/dev/null | grep -q "^$2"$'\tshowing'
}

# exit_from_panel_menu PID: 終了 clicked in the menu the panel drew (its layout saved in
# $session_dir/menu); the program ends at once with exit code 0 and leaves Scrivlet.ini as it was.
exit_from_panel_menu() {
    local pid=$1 exit_id code=0
    cp "$ini" "$session_dir/ini.before"
    exit_id=$(awk -F '\t' '$2 == "終了(_X)" { print $1 }' "$session_dir/menu")
    sni click "$pid" "$exit_id" || fail "the click on 終了 was refused"
    wait_for 30 "end of the program after 終了" ended "$pid"
    wait "$pid" || code=$?
    [ "$code" = 0 ] || fail "終了 ended the program with exit code $code"
    cmp -s "$ini" "$session_dir/ini.before" || fail "終了 wrote Scrivlet.ini"
}
