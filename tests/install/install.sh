#!/usr/bin/env bash
# The per-user install: every file in its place, the menu entry valid, the installed program started once from
# its command on a real X server, a reinstall that keeps the messages, and an uninstall that keeps the messages
# and the settings. Installs into a temporary prefix and home; the build folder's own manifest is left as found.
# Usage: install.sh SOURCE_DIR BUILD_DIR
set -u
source_dir=$1
build=$2
source "$source_dir/tests/desktop/xserver.sh"
desktop_test_init
[ -f "$build/install_manifest.txt" ] && cp "$build/install_manifest.txt" "$work/saved_manifest"
restore_manifest() {
    rm -f "$build/install_manifest.txt"
    [ -f "$work/saved_manifest" ] && cp "$work/saved_manifest" "$build/install_manifest.txt"
    desktop_test_cleanup
}
trap restore_manifest EXIT

prefix="$work/prefix with space"
folder="$prefix/lib/tavanote"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
settings="$XDG_CONFIG_HOME/Tavanote/Tavanote.ini"
autostart="$XDG_CONFIG_HOME/autostart/Tavanote.desktop"

install_copy() {
    cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || { cat "$work/install.log"; fail "install failed"; }
    mv "$build/install_manifest.txt" "$work/manifest"
}
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{print $3 * 256 + $4 "x" $7 * 256 + $8}'; }

# Every file in its place.
install_copy
[ -x "$folder/tavanote" ] && [ ! -L "$folder/tavanote" ] || fail "no executable in the program folder"
[ -s "$folder/aide.qch" ] || fail "no help file in the program folder"
[ "$(sqlite3 "$folder/messages.fdm" 'SELECT count(*) FROM message')" = 0 ] || fail "no empty messages.fdm"
[ -L "$prefix/bin/tavanote" ] || fail "the command is not a link"
[ "$(readlink -f "$prefix/bin/tavanote")" = "$(readlink -f "$folder/tavanote")" ] || fail "the command leads elsewhere"
entry="$prefix/share/applications/tavanote.desktop"
desktop-file-validate "$entry" || fail "the menu entry is not valid"
grep -qxF "Exec=\"$folder/tavanote\"" "$entry" || fail "the menu entry does not start the installed program"
grep -qx "Icon=tavanote" "$entry" || fail "the menu entry has no icon"
cmp -s "$source_dir/resources/tavanote.svg" "$prefix/share/icons/hicolor/scalable/apps/tavanote.svg" ||
    fail "no scalable icon"
for size in 16 32 48 64 128 256; do
    png="$prefix/share/icons/hicolor/${size}x${size}/apps/tavanote.png"
    [ "$(png_size "$png" 2>/dev/null)" = "${size}x${size}" ] || fail "no ${size}x${size} icon"
done
listed=$(grep -c '' "$work/manifest")
[ "$listed" -eq 11 ] || fail "the manifest lists $listed files, expected 11"
grep -q messages.fdm "$work/manifest" && fail "messages.fdm is in the manifest"
[ "$("$prefix/bin/tavanote" --version)" = "Tavanote 2.0.0" ] || fail "the command does not answer --version"

# One start from the command, without a notification area: the program folder is the installed one, the
# start-up entry names the installed executable, the windows carry the icon; Esc and Yes end it.
start_x_server xprop
"$prefix/bin/tavanote" >"$work/program.log" 2>&1 &
copy=$!
pids+=($copy)
wait_for 120 visible "Gestion des messages" || { cat "$work/program.log"; fail "the installed program did not start"; }
main=$(visible "Gestion des messages" | head -n 1)
grep -qxF "dossier%20application=$folder/" "$settings" || fail "the program folder is not the installed one"
grep -qxF "Exec=\"$folder/tavanote\"" "$autostart" || fail "the start-up entry does not name the installed program"
xprop -id "$main" _NET_WM_ICON | grep -q "Icon (16 x 16)" || fail "the main window has no icon"
to_window "$main" key Escape
wait_for 120 visible "Tavanote" || fail "Esc did not ask to quit"
to_window "$(visible Tavanote | head -n 1)" key Return
wait_for 120 gone "$copy" || fail "the program did not end after Esc and Yes"

# A reinstall keeps the messages.
row="SELECT titre || '|' || message || '|' || prochainaffichage FROM message"
sqlite3 "$folder/messages.fdm" "INSERT INTO message (titre, message, datemessage, heuremessage, etat, periodicite,
    prochainaffichage, dernieraffichage) VALUES ('Dentiste', 'Mardi à 10 h', '02/06/2099', '10:00', 'actif', '0',
    '02/06/2099 10:00', '')" || fail "cannot add a message"
install_copy
[ "$(sqlite3 "$folder/messages.fdm" "$row")" = "Dentiste|Mardi à 10 h|02/06/2099 10:00" ] ||
    fail "the reinstall changed the messages"

# The uninstall removes what the install wrote and the start-up entry, keeps the messages and the settings.
cp "$work/manifest" "$work/manifest.kept"
cmake -DMANIFEST="$work/manifest" -P "$source_dir/cmake/Uninstall.cmake" >"$work/uninstall.log" 2>&1 ||
    { cat "$work/uninstall.log"; fail "uninstall failed"; }
while IFS= read -r file; do
    [ -e "$file" ] || [ -L "$file" ] && fail "the uninstall left $file"
done <"$work/manifest.kept"
[ -e "$autostart" ] && fail "the uninstall left the start-up entry of a program that is gone"
[ "$(sqlite3 "$folder/messages.fdm" "$row")" = "Dentiste|Mardi à 10 h|02/06/2099 10:00" ] ||
    fail "the uninstall lost the messages"
[ -s "$settings" ] || fail "the uninstall lost the settings"
grep -qF "$folder/messages.fdm" "$work/uninstall.log" || fail "the uninstall does not say where the messages stay"
grep -qF "$settings" "$work/uninstall.log" || fail "the uninstall does not say where the settings stay"
echo "install: all checks passed"
