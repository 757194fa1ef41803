#!/usr/bin/env bash
# windows_installer.sh <wine-run.sh> <prefix> <setup.exe> <version>
# The installer in a Wine prefix of its own, made afresh: a silent install for the current
# user puts the program, the uninstaller, the Start menu shortcut (with the application user
# model id) and the Uninstall key in place, and the installed program answers --version. A
# silent uninstall ends a running copy, and removes the program, the shortcut, the key and
# the Run value but keeps a log and the settings; installing again and uninstalling with
# /RemoveHistory removes those too.
set -u
wine_run=$1 prefix=$2 setup=$3 version=$4
rm -rf "$prefix"
w() { sh "$wine_run" "--prefix=$prefix" "$@" </dev/null; }
settle() { WINEPREFIX=$prefix wineserver -w; }  # the uninstaller goes on in a copy of itself
app=
trap '[ -n "$app" ] && kill -KILL "$app" 2>/dev/null; WINEPREFIX=$prefix wineserver -k 2>/dev/null' EXIT
fail() { echo "FAIL: $*"; exit 1; }

uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Towerwatch'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
settings_key='HKCU\Software\Vexlor\Towerwatch'
key_value() { w reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v n="$2" '$1 == n { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'; }

w "$setup" /S >/dev/null 2>&1 || fail "the installer failed"
settle
local_app_data=$(w cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')
app_data=$(w cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')
unix() { WINEPREFIX=$prefix winepath -u "$1" 2>/dev/null; }
folder=$(unix "$local_app_data\\Programs\\Towerwatch")
shortcut=$(unix "$app_data\\Microsoft\\Windows\\Start Menu\\Programs\\Towerwatch.lnk")

[ -f "$folder/towerwatch.exe" ] && [ -f "$folder/uninstall.exe" ] || fail "nothing installed in $folder"
[ -f "$shortcut" ] || fail "no shortcut at $shortcut"
LC_ALL=C grep -aq 't.o.w.e.r.w.a.t.c.h...e.x.e' "$shortcut" || fail "the shortcut does not lead to towerwatch.exe"
# Windows keeps the application user model id in the shortcut's property store; Wine's
# shortcuts take the property but do not store it, so here it can only be said.
LC_ALL=C grep -aqP 'n\x00e\x00t\x00\.\x00v\x00e\x00x\x00l\x00o\x00r\x00\.\x00T' "$shortcut" ||
    echo "note: this Wine does not store the shortcut's application user model id"
[ "$(key_value "$uninstall_key" DisplayName)" = Towerwatch ] || fail "no DisplayName in $uninstall_key"
[ "$(key_value "$uninstall_key" DisplayVersion)" = "$version" ] || fail "DisplayVersion is not $version"
[ "$(key_value "$uninstall_key" Publisher)" = Vexlor ] || fail "no Publisher"
key_value "$uninstall_key" DisplayIcon | grep -q 'towerwatch.exe,0$' || fail "no DisplayIcon"
key_value "$uninstall_key" UninstallString | grep -q 'uninstall.exe' || fail "no UninstallString"
size=$(key_value "$uninstall_key" EstimatedSize)
[ -n "$size" ] && [ $((size)) -gt 500 ] || fail "EstimatedSize is '$size'"
answer=$(w "$folder/towerwatch.exe" --version 2>&1)
grep -q "^Towerwatch" <<<"$answer" || fail "the installed program did not answer --version: $answer"

# What the player made: a log, settings, starting with Windows; and the program running.
printf 'Caer Ashwold,Midgard,Albion,6/12/2026 18:05:00\r\n' >"$folder/Emberfall.log"
w reg add "$settings_key" /v MonitorServer /d Emberfall /f >/dev/null 2>&1
w reg add "$run_key" /v Towerwatch /d "\"C:\\elsewhere\\towerwatch.exe\" -startup" /f >/dev/null 2>&1
w reg add "$settings_key" /v UpdateOnStart /d 0 /f >/dev/null 2>&1
w "$folder/towerwatch.exe" >/dev/null 2>&1 &
app=$!
for _ in $(seq 300); do
    w tasklist 2>/dev/null | grep -qi towerwatch.exe && break
    sleep 0.1
done
sleep 1  # its one-copy window comes up during start-up

w "$folder/uninstall.exe" /S >/dev/null 2>&1
settle
for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "the running copy was not closed"
app=
[ ! -e "$folder/towerwatch.exe" ] && [ ! -e "$folder/uninstall.exe" ] || fail "the program is still in $folder"
[ ! -e "$shortcut" ] || fail "the shortcut is still there"
w reg query "$uninstall_key" >/dev/null 2>&1 && fail "the Uninstall key is still there"
[ -z "$(key_value "$run_key" Towerwatch)" ] || fail "the Run value is still there"
[ -f "$folder/Emberfall.log" ] || fail "the log went with the program"
[ "$(key_value "$settings_key" MonitorServer)" = Emberfall ] || fail "the settings went with the program"

# Installing again takes up the log; uninstalling with the choice removes it and the settings.
w "$setup" /S >/dev/null 2>&1 || fail "the second install failed"
settle
[ -f "$folder/towerwatch.exe" ] && [ -f "$folder/Emberfall.log" ] || fail "installing again lost the log"
w "$folder/uninstall.exe" /S /RemoveHistory >/dev/null 2>&1
settle
[ ! -e "$folder" ] || fail "$folder is still there: $(ls -A "$folder")"
w reg query "$settings_key" >/dev/null 2>&1 && fail "the settings are still there"
echo "installed, shortcut and Uninstall key in place, ran; uninstalled keeping the history, then without it"
