#!/usr/bin/env bash
# Runs every benchmark program of a build folder; JSON results land in BUILD/bench-results/.
set -euo pipefail
build=${1:-build-bench}
out="$build/bench-results"
mkdir -p "$out"
for program in "$build"/bench_*; do
  [ -x "$program" ] || continue
  name=$(basename "$program")
  echo "== $name"
  SDL_VIDEODRIVER=${SDL_VIDEODRIVER:-offscreen} "$program" \
    --benchmark_out="$out/$name.json" --benchmark_out_format=json
done
