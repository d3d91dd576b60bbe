#!/usr/bin/env bash
# Measures the processor time the window uses while the device waits for a
# key: starts tm650e (offscreen unless a display is set), lets it reach the
# key wait, then reads its user+system time over a window of seconds.
#   tools/measure_idle.sh [build/release/frontpanel/tm650e] [seconds]
set -euo pipefail
program=${1:-build/release/frontpanel/tm650e}
seconds=${2:-10}
[ -n "${DISPLAY:-}" ] || export QT_QPA_PLATFORM=offscreen
scratch=$(mktemp -d)
export XDG_CONFIG_HOME=$scratch HOME=$scratch
"$program" >/dev/null 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null || true; rm -rf "$scratch"' EXIT
sleep 3
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
start=$(ticks)
sleep "$seconds"
end=$(ticks)
hz=$(getconf CLK_TCK)
awk -v t=$((end - start)) -v hz="$hz" -v s="$seconds" \
  'BEGIN { printf "tm650e at the key wait: %.2f %% of one core over %d s\n", 100 * t / hz / s, s }'
