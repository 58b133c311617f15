#!/usr/bin/env bash
# A D-Bus panel that hangs: its StatusNotifier watcher owns its name on the bus and never answers. The
# program must not wait for it: within a few seconds the memo window stands on its own, as without a
# notification area, and the program answers at every moment, however long the watcher keeps silent;
# when a panel that answers takes the watcher's place, the icon goes to it.
# Usage: silent_watcher_test.sh SCRIVLET HELPER_FOLDER
set -euo pipefail
program=$1
helpers=$2
. "$(dirname "$0")/x11session.sh"
. "$(dirname "$0")/dbussession.sh"

portable_copy "$program"

start_x_server
start_session_bus
start_accessibility
start_background silent_watcher "$helpers/e2e_sni_host" silent
silent_watcher=$last_pid
wait_for 30 "the silent watcher on the bus" watcher_owned

echo "start: the window on its own within seconds, no icon"
start_background scrivlet "$folder/Scrivlet"
pid=$last_pid
# Every answer from the program's user-interface thread within 100 ms, from its start until the window
# has stood for longer than the program waits for the watcher.
start_background ping "$helpers/e2e_atspi" ping "$pid" 100 "$title" 400
ping=$last_pid
wait_for 10 "memo window beside a silent watcher" has_visible_window_titled "$pid" "$title"
has_embedded_icon "$pid" && fail "an XEmbed icon"
wait_for 60 "end of the answer probe" ended "$ping"
wait "$ping" || fail "the program was slow to answer"
cat "$session_dir/ping.log"

echo "a panel that answers replaces the silent one: the icon registers, the window stays"
stop_background "$silent_watcher"
start_sni_host
wait_for 10 "item registered with the host" has_sni_item "$pid"
has_visible_window_titled "$pid" "$title" || fail "the memo window went when the host came"

echo "PASS"
