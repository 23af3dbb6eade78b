#!/bin/sh
# Saves the whole virtual display as a PNG: shot.sh OUT.png
# Called by the robot's "shot" step (through Wine, which cannot wait for a
# Unix program: the robot waits for OUT.png instead, so it appears by rename).
set -eu
[ $# -eq 1 ] || { echo "usage: shot.sh OUT.png" >&2; exit 2; }
[ -n "${DISPLAY:-}" ] || { echo "shot.sh: no DISPLAY" >&2; exit 1; }
mkdir -p "$(dirname "$1")"
import -display "$DISPLAY" -window root "png:$1.part" </dev/null
mv -f "$1.part" "$1"
