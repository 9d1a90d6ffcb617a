#!/usr/bin/env bash
# Tallyglass beside conky on an X server of their own: CPU with wake-ups a second, and memory
# (peak RSS, private, PSS, Pss_Anon) of both in one run; --all for traffic, idle and hidden in
# the tray one after the other. bench/compare_peers.py does the work; --help tells the options.
#
# Usage: bench/compare_peers.sh [--seconds N] [--no-traffic | --hidden | --all] [--tool-windows]
#                               [--apps-window]
#                               [--conky-rate UPDATES_PER_S] [--bars | --dial] [--shot PNG]
#                               [--program PATH]
exec /usr/bin/python3 "$(dirname "$0")/compare_peers.py" "$@"
