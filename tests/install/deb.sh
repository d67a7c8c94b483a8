#!/usr/bin/env bash
# The Debian package: built by CPack into a scratch folder, its metadata, lintian, its files unpacked into a
# temporary root (nothing is installed on this machine), and the unpacked program started once by a user who
# cannot write its folder: its messages file is made in that user's own data folder.
# Usage: deb.sh SOURCE_DIR BUILD_DIR
set -u
source_dir=$1
build=$2
source "$source_dir/tests/desktop/xserver.sh"
desktop_test_init
trap 'chmod -R u+w "$work"; desktop_test_cleanup' EXIT
chmod 755 "$work"

cpack -G DEB -B "$work/out" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack failed"; }
deb="$work/out/tavanote_2.0.0_$(dpkg --print-architecture).deb"
[ -s "$deb" ] || fail "no $(basename "$deb")"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package) $(field Version)" = "tavanote 2.0.0" ] || fail "wrong name or version"
for needed in libqt6widgets6 libqt6help6 libsqlite3-0 libqt6svg6 libqt6sql6-sqlite; do
    field Depends | grep -q "\b$needed\b" || fail "Depends lacks $needed: $(field Depends)"
done
lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1 || { cat "$work/lintian.log"; fail "lintian reports errors"; }

root="$work/root"
dpkg-deb -x "$deb" "$root" || fail "dpkg-deb -x failed"
folder="$root/usr/lib/tavanote"
[ -x "$folder/tavanote" ] && [ -s "$folder/aide.qch" ] || fail "no program or help file in /usr/lib/tavanote"
[ -e "$folder/messages.fdm" ] && fail "the package carries a messages file"
[ "$(readlink "$root/usr/bin/tavanote")" = ../lib/tavanote/tavanote ] || fail "/usr/bin/tavanote is not the link"
desktop-file-validate "$root/usr/share/applications/tavanote.desktop" || fail "the menu entry is not valid"
grep -qxF 'Exec="/usr/lib/tavanote/tavanote"' "$root/usr/share/applications/tavanote.desktop" ||
    fail "the menu entry does not start /usr/lib/tavanote/tavanote"
for file in icons/hicolor/48x48/apps/tavanote.png icons/hicolor/scalable/apps/tavanote.svg doc/tavanote/copyright \
    doc/tavanote/changelog.gz man/man1/tavanote.1.gz; do
    [ -s "$root/usr/share/$file" ] || fail "no /usr/share/$file"
done
appstreamcli validate --no-net "$root/usr/share/metainfo/org.example.tavanote.metainfo.xml" >"$work/as.log" 2>&1 ||
    { cat "$work/as.log"; fail "the AppStream file is not valid"; }

# One start on a fresh home, by a user who may not write the program folder (root may write anywhere: the
# program then runs as nobody).
chmod -R a-w "$folder"
home="$work/home"
mkdir -p "$home" "$work/runtime"
chmod 700 "$work/runtime"
as_user=()
if [ "$(id -u)" = 0 ]; then
    chown nobody "$home" "$work/runtime"
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
start_x_server
env -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME="$home" XDG_RUNTIME_DIR="$work/runtime" "${as_user[@]}" \
    "$root/usr/bin/tavanote" >"$work/program.log" 2>&1 &
pids+=($!)
messages="$home/.local/share/Tavanote/messages.fdm"
wait_for 300 visible "Gestion des messages" || { cat "$work/program.log"; fail "the unpacked program did not start"; }
[ "$(sqlite3 "$messages" 'SELECT count(*) FROM message')" = 0 ] || fail "no empty messages file in the user's home"
grep -qxF "X-Tavanote-Messages=$messages" "$home/.config/autostart/Tavanote.desktop" ||
    fail "the start-up entry does not name the messages file in use"
[ -e "$folder/messages.fdm" ] && fail "the program wrote into its folder"
echo "deb: all checks passed"
