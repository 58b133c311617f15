#!/usr/bin/env bash
# The Debian package on this machine: installs it with apt, checks what it put in place and runs the
# installed programs with a scratch home, then removes it again. Changes the system, so it is run by
# hand as root (after ./dev package), never by ctest.
# Usage: deb_check.sh PACKAGE.deb HELPER_FOLDER   (HELPER_FOLDER: build-test/tests/e2e)
set -euo pipefail
deb=$(realpath "$1")
helpers=$2
here=$(dirname "$0")
. "$here/../e2e/x11session.sh"
. "$here/installed_program.sh"

dpkg-query -W scrivlet >/dev/null 2>&1 && fail "scrivlet is installed already; remove it first"
removed=no
remove_package() {
    [ "$removed" = yes ] || DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq scrivlet >/dev/null 2>&1 || true
}
trap 'remove_package; session_cleanup' EXIT

echo "apt install $deb"
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >"$session_dir/apt.log" 2>&1 || fail "apt install failed"
dpkg-query -L scrivlet | sed 's|^/||' | while read -r path; do [ -d "/$path" ] || echo "$path"; done |
    LC_ALL=C sort >"$session_dir/files.packaged"
expected_files | LC_ALL=C sort >"$session_dir/files.expected"
diff -u "$session_dir/files.expected" "$session_dir/files.packaged" >&2 || fail "the package holds other files"

echo "desktop entries, metainfo and icons as installed"
check_entries /

echo "the installed programs keep memos in the data folder"
start_x_server
start_tray_host
run_installed /usr/bin

echo "apt remove: the memos stay"
DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq scrivlet >"$session_dir/apt-remove.log" 2>&1 || fail "apt remove failed"
removed=yes
[ ! -e /usr/bin/Scrivlet ] || fail "/usr/bin/Scrivlet is still there after apt remove"
cmp -s "$XDG_DATA_HOME/Scrivlet/files/text0000.txt" "$session_dir/memo.expected" || fail "the memo went with the package"

echo "PASS"
