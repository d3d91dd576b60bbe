#!/usr/bin/env bash
# The Windows build's figures under Wine: the sizes of tm650e.exe and of the
# installer, the time from starting tm650e.exe to its first lit digit
# segment on the screen, and the processor time it (and Wine's server) use
# while the device waits for a key.
#   tools/measure_windows.sh [build/windows] [seconds]
# Run it when no Windows tests are running: it uses the build's Wine prefix
# on a virtual display of its own, with the device and settings the tests
# left there taken away first so that the device starts afresh.
set -euo pipefail
build=$(realpath "${1:-build/windows}")
seconds=${2:-10}
export WINEPREFIX=$build/wine WINEDEBUG=-all
wine=/usr/lib/wine/wine64
server=/usr/lib/wine/wineserver
[ -x "$server" ] || server=$(command -v wineserver)
exe=$build/win32/tm650e.exe
setup=$(ls "$build"/TM650E-*-setup.exe)
printf 'tm650e.exe: %d bytes\ninstaller %s: %d bytes\n' "$(stat -c %s "$exe")" "$(basename "$setup")" \
  "$(stat -c %s "$setup")"

scratch=$(mktemp -d)
display=:$((150 + RANDOM % 100))
"$server" -k 2>/dev/null || true
"$server" -w
Xvfb "$display" -screen 0 1280x1024x24 -fbdir "$scratch" >/dev/null 2>&1 &
xvfb=$!
pid=
cleanup() {
  [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
  "$server" -k 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
while [ ! -e "$scratch/Xvfb_screen0" ]; do sleep 0.05; done
# Everything on the virtual display: Wine binds the prefix's desktop to the
# display of the first program that asks.
export DISPLAY=$display
"$wine" reg delete 'HKCU\Software\Fernhill\TM650E' /f >/dev/null 2>&1 || true
rm -f "$WINEPREFIX"/drive_c/users/*/AppData/Local/TM650E/tm650e.state
# Wine's server and its services up, as they are for a user whose session
# has started: the figure is the program's own start.
"$wine" reg query 'HKCU\Software' >/dev/null 2>&1 || true

# A lit segment is the only dark grey (100, 100, 100) on the screen.
start=$(date +%s.%N)
"$wine" "$exe" >/dev/null 2>&1 &
pid=$!
python3 - "$scratch/Xvfb_screen0" <<'PY'
import mmap, struct, sys, time
with open(sys.argv[1], 'rb') as f:
    screen = mmap.mmap(f.fileno(), 0, access=mmap.ACCESS_READ)
    header = struct.unpack('>25I', screen[:100])
    pixels = header[0] + header[19] * 12
    lit = bytes([100, 100, 100])
    deadline = time.time() + 60
    while time.time() < deadline:
        at = screen.find(lit, pixels)
        while at >= 0 and (at - pixels) % 4:
            at = screen.find(lit, at + 1)
        if at >= 0:
            sys.exit(0)
        time.sleep(0.005)
sys.exit('no lit digit within 60 s')
PY
shown=$(date +%s.%N)
awk -v a="$start" -v b="$shown" 'BEGIN { printf "start to first digits: %.2f s\n", b - a }'

sleep 3
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
# This prefix's server works in a folder named by the prefix's device and inode.
server_dir=$(printf 'server-%x-%x' "$(stat -c %d "$WINEPREFIX")" "$(stat -c %i "$WINEPREFIX")")
server_pid=
for candidate in $(pgrep wineserver || true); do
  [ "$(basename "$(readlink "/proc/$candidate/cwd" 2>/dev/null)")" = "$server_dir" ] && server_pid=$candidate
done
program_start=$(ticks "$pid")
[ -n "$server_pid" ] || { echo "Wine's server for $WINEPREFIX not found" >&2; exit 1; }
server_start=$(ticks "$server_pid")
sleep "$seconds"
program_end=$(ticks "$pid")
server_end=$(ticks "$server_pid")
hz=$(getconf CLK_TCK)
awk -v p=$((program_end - program_start)) -v w=$((server_end - server_start)) -v hz="$hz" -v s="$seconds" \
  'BEGIN { printf "at the key wait over %d s: tm650e.exe %.2f %%, Wine server %.2f %% of one core\n", s, 100 * p / hz / s, 100 * w / hz / s }'
