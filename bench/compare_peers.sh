#!/usr/bin/env bash
# Tallyglass beside conky, a small desktop monitor, on one X server of their own with the same
# loopback traffic: prints each one's average CPU (percent of one core) over the same interval,
# their ratio, and each one's peak resident memory.
#
# Usage: bench/compare_peers.sh [--seconds N] [--no-traffic] [--conky-rate UPDATES_PER_S]
#                               [--bars] [--shot PNG] [--program PATH]
# Both monitor loopback: Tallyglass a 320 x 90 line graph (bars with --bars; loopback counted),
# conky a 300-pixel download and an upload graph, 30 pixels high together. The traffic is a
# varying flow of about 1.5 MB/s on one TCP connection. Where allowed (root), everything runs in
# a network namespace of its own, so loopback traffic of other programs on the machine is not
# seen. conky is installed from Debian (conky-std) when missing.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

seconds=40
traffic=1
conky_rate=10
graph=701
shot=
program=$root/build/bin/tallyglass
while [ $# -gt 0 ]; do
  case $1 in
    --seconds) seconds=$2; shift 2 ;;
    --no-traffic) traffic=0; shift ;;
    --conky-rate) conky_rate=$2; shift 2 ;;
    --bars) graph=702; shift ;;
    --shot) shot=$(realpath "$2"); shift 2 ;;
    --program) program=$(realpath "$2"); shift 2 ;;
    *) echo "usage: $0 [--seconds N] [--no-traffic] [--conky-rate N] [--bars] [--shot PNG]" \
         "[--program PATH]" >&2
       exit 2 ;;
  esac
done

if ! command -v conky >/dev/null; then
  echo "installing conky-std" >&2
  sudo=; [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get install -y --no-install-recommends conky-std >/dev/null
fi

# Our own loopback, once: the script runs itself again inside a fresh network namespace.
if [ -z "${TALLYGLASS_PEERS_NETNS:-}" ] && command -v unshare >/dev/null &&
   unshare -n true 2>/dev/null; then
  exec env TALLYGLASS_PEERS_NETNS=1 unshare -n "$0" --seconds "$seconds" \
    --conky-rate "$conky_rate" --program "$program" $([ "$traffic" = 0 ] && echo --no-traffic) \
    $([ "$graph" = 702 ] && echo --bars) $([ -n "$shot" ] && echo --shot "$shot")
fi
if [ -n "${TALLYGLASS_PEERS_NETNS:-}" ]; then
  ip link set lo up
else
  echo "no network namespace allowed: both watch the shared loopback" >&2
fi

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill -TERM "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# An X server of our own on a free display.
Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp >"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n1 "$work/display")
export DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/bus  # no tray, no notifications

# Tallyglass: the settings a new user gets (the second start), loopback counted.
mkdir -p "$work/data"
python3 - "$work/data" "$graph" <<'EOF'
import os, sys
sys.path.insert(0, "tests/e2e")
from meter_settings import write_settings
write_settings(sys.argv[1], rect=(0, 100, 320, 90))
path = os.path.join(sys.argv[1], "settings.dat")
lines = open(path).read().split("\n")
lines[2] = sys.argv[2]  # the graph type
open(path, "w").write("\n".join(lines))
EOF

cat >"$work/conky.conf" <<EOF
conky.config = {
    out_to_x = true, out_to_console = false, own_window = true, own_window_type = 'normal',
    double_buffer = true, update_interval = $(awk -v r="$conky_rate" 'BEGIN { print 1 / r }'),
    minimum_width = 300, maximum_width = 300, use_xft = false, background = false,
    border_width = 0, gap_x = 0, gap_y = 0, alignment = 'top_left',
};
conky.text = [[\${downspeedgraph lo 15,300}
\${upspeedgraph lo 15,300}]];
EOF

TALLYGLASS_DATA_DIR="$work/data" "$program" >/dev/null 2>&1 &
meter=$!; pids+=($meter)
conky -q -c "$work/conky.conf" >/dev/null 2>&1 &
peer=$!; pids+=($peer)

if [ "$traffic" = 1 ]; then
  # About 1.5 MB/s, swinging between 0.5 and 2.5 MB/s every 8 s, in 10 ms slices.
  python3 - "$((seconds + 10))" <<'EOF' &
import math, socket, sys, threading, time
server = socket.socket(); server.bind(("127.0.0.1", 0)); server.listen(1)
def drain():
    conn, _ = server.accept()
    while conn.recv(1 << 20):
        pass
threading.Thread(target=drain, daemon=True).start()
client = socket.create_connection(server.getsockname())
start = time.monotonic(); end = start + float(sys.argv[1]); tick = start
while time.monotonic() < end:
    t = tick - start
    rate = 1.5e6 + 1.0e6 * math.sin(2 * math.pi * t / 8.0)
    client.sendall(b"x" * int(rate / 100))
    tick += 0.01
    time.sleep(max(0.0, tick - time.monotonic()))
EOF
  pids+=($!)
fi

sleep 5  # start-up (and the first screen of samples) is not what we measure
ticks() { awk '{ sub(/.*\) /, ""); print $12 + $13 }' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)
m0=$(ticks "$meter"); p0=$(ticks "$peer"); s0=$(date +%s.%N)
sleep "$seconds"
m1=$(ticks "$meter"); p1=$(ticks "$peer"); s1=$(date +%s.%N)
[ -n "$shot" ] && import -window root -crop 400x200+0+0 "$shot"
mrss=$(awk '/VmHWM/ { print $2 }' "/proc/$meter/status")
prss=$(awk '/VmHWM/ { print $2 }' "/proc/$peer/status")

awk -v m0="$m0" -v m1="$m1" -v p0="$p0" -v p1="$p1" -v s0="$s0" -v s1="$s1" -v hz="$hz" \
    -v mrss="$mrss" -v prss="$prss" -v rate="$conky_rate" -v traffic="$traffic" 'BEGIN {
  t = s1 - s0; m = 100 * (m1 - m0) / hz / t; p = 100 * (p1 - p0) / hz / t
  printf "over %.1f s, %s\n", t, traffic ? "with loopback traffic" : "without traffic"
  printf "tallyglass cpu: %.2f %% of one core   peak rss: %.1f MB\n", m, mrss / 1024
  printf "conky (%s/s) cpu: %.2f %% of one core   peak rss: %.1f MB\n", rate, p, prss / 1024
  if (p > 0) printf "ratio: %.1f x\n", m / p; else print "ratio: conky used no measurable CPU"
}'
