#!/usr/bin/env bash
# Records the demo pilot's replays of tests/e2e/replays again, after a change to the game or its
# data has made the old ones play differently. The hand-written replays (the time running out,
# the dive into the shore) are kept as they are. Usage: scripts/record-replays.sh [BUILD]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
replays="$root/tests/e2e/replays"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ln -s "$build/Data.acv" "$work/Data.acv"
cd "$work"
export SDL_VIDEODRIVER=offscreen
record() {  # NAME FRAMES ARGS...
  local name=$1 frames=$2
  shift 2
  rm -f Quarn.sav
  "$build/quarn" --headless --no-render --demo-pilot --frames "$frames" \
    --record "$replays/$name" --stage-log "$work/$name.log" "$@" >/dev/null
  echo "$name: $(grep -c . "$work/$name.log") log lines, $(grep '"result"' "$work/$name.log" | head -n 1)"
}
# From the title through the menus into stage 1, until its mission report is saved.
record stage1-won-from-the-title.replay 5400
# Stage 2 straight away, until the flagship has gone.
record stage2-flagship-loses-its-parts.replay 7850 --stage Stage2.txt
