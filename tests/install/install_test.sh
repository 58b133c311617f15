#!/usr/bin/env bash
# cmake --install into a scratch root: exactly the expected files, the desktop entries and metainfo as
# the desktop's validators see them, then the installed programs run with a scratch home.
# Usage: install_test.sh BUILD_FOLDER HELPER_FOLDER
set -euo pipefail
build=$1
helpers=$2
here=$(dirname "$0")
. "$here/../e2e/x11session.sh"
. "$here/installed_program.sh"

dest="$session_dir/root"

echo "cmake --install: every file where the desktop looks for it, and nothing else"
DESTDIR="$dest" cmake --install "$build" --prefix /usr >"$session_dir/install.log" 2>&1 || fail "cmake --install failed"
installed_files() {
    (cd "$dest" && find . \( -type f -o -type l \) -printf '%P\n' | LC_ALL=C sort)
}
expected_files | LC_ALL=C sort >"$session_dir/files.expected"
installed_files >"$session_dir/files.installed"
diff -u "$session_dir/files.expected" "$session_dir/files.installed" >&2 || fail "the installed files differ"

echo "desktop entries, metainfo and icons"
check_entries "$dest"

echo "the installed programs keep memos in the data folder and write nothing into the installed tree"
start_x_server
start_tray_host
run_installed "$dest/usr/bin"
installed_files >"$session_dir/files.after"
diff -u "$session_dir/files.installed" "$session_dir/files.after" >&2 || fail "the programs wrote into the installed tree"

echo "PASS"
