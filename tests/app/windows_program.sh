#!/usr/bin/env bash
# windows_program.sh <wine-run.sh> <prefix> <towerwatch.exe | portable.zip> <peers folder>
# towerwatch.exe itself under Wine, copied or unpacked from the portable copy (which holds
# towerwatch.exe and README.txt, nothing else) into a folder of its own: --version answers
# on standard output; with its settings imported into the registry key it downloads from the
# native simulator and keeps the document beside itself, and writes LastUpdate into the key;
# a second start hands over and ends at once; closing its window (no tray) ends it with 0.
set -u
wine_run=(sh "$1" "--prefix=$2")
peers=$4
work=$(mktemp -d)
app=
trap '[ -n "$app" ] && kill -KILL "$app" 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; [ -f "$work/first.txt" ] && cat "$work/first.txt"; exit 1; }
winpath() { echo "Z:${1//\//\\}"; }

mkdir -p "$work/program"
if [[ $3 == *.zip ]]; then
    (cd "$work/program" && cmake -E tar xf "$3") || fail "could not unpack $3"
    [ "$(ls "$work/program" | tr '\n' ' ')" = "README.txt towerwatch.exe " ] ||
        fail "the portable copy holds $(ls "$work/program")"
else
    cp "$3" "$work/program/towerwatch.exe"
fi
version=$("${wine_run[@]}" "$work/program/towerwatch.exe" --version </dev/null 2>/dev/null | tr -d '\r')
[[ $version == Towerwatch\ * ]] || fail "--version printed '$version'"

port=$(awk '$1 == "plain" { print $2 }' "$peers/peers")
[ -n "$port" ] || fail "no plain simulator in $peers/peers"
printf '127.0.0.1:%s/server-info.xml\r\n' "$port" >"$work/program/towerwatchlocations.txt"
printf '%s\r\n' 'REGEDIT4' '' '[-HKEY_CURRENT_USER\Software\Vexlor]' '' \
    '[HKEY_CURRENT_USER\Software\Vexlor\Towerwatch]' \
    '"LocationHost"="127.0.0.1:1"' '"MonitorServer"="Emberfall"' '"UpdateOnStart"="1"' \
    '"SystemTray"="0"' >"$work/settings.reg"
"${wine_run[@]}" reg import "$(winpath "$work/settings.reg")" </dev/null >/dev/null 2>&1 ||
    fail "could not import the settings"
key='HKEY_CURRENT_USER\Software\Vexlor\Towerwatch'

"${wine_run[@]}" "$work/program/towerwatch.exe" </dev/null >"$work/first.txt" 2>&1 &
app=$!
for _ in $(seq 600); do
    [ -s "$work/program/server-info.xml" ] && break
    kill -0 "$app" 2>/dev/null || fail "the program ended before it downloaded"
    sleep 0.1
done
grep -q "<server name=" "$work/program/server-info.xml" 2>/dev/null || fail "no document cached"
for _ in $(seq 100); do
    "${wine_run[@]}" reg query "$key" /v LastUpdate </dev/null 2>/dev/null | grep -q LastUpdate && break
    sleep 0.1
done
"${wine_run[@]}" reg query "$key" /v LastUpdate </dev/null 2>/dev/null | grep -q LastUpdate ||
    fail "no LastUpdate in $key"

timeout 60 "${wine_run[@]}" "$work/program/towerwatch.exe" </dev/null >/dev/null 2>&1 ||
    fail "a second copy did not end by itself"
kill -0 "$app" 2>/dev/null || fail "the first copy ended on a second start"

# Without the tray, closing the window ends the program.
"${wine_run[@]}" taskkill /im towerwatch.exe </dev/null >/dev/null 2>&1
for _ in $(seq 300); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "the program did not end when its window was closed"
wait "$app"
code=$?
app=
[ "$code" -eq 0 ] || fail "the program ended with code $code"
"${wine_run[@]}" reg delete 'HKEY_CURRENT_USER\Software\Vexlor' /f </dev/null >/dev/null 2>&1
echo "towerwatch.exe: $version; downloaded, kept its settings in the key, one copy, ended cleanly"
