#!/usr/bin/env bash
# Runs every fuzz target of a build folder for SECONDS each, starting from the seed corpus
# kept in tests/fuzz/corpus/NAME. A crash leaves its input in BUILD/fuzz-artifacts/.
set -euo pipefail
build=${1:-build-fuzz}
seconds=${2:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
artifacts="$build/fuzz-artifacts"
mkdir -p "$artifacts"
status=0
for program in "$build"/fuzz_*; do
  [ -x "$program" ] || continue
  name=$(basename "$program")
  corpus="$build/fuzz-corpus/$name"
  mkdir -p "$corpus"
  if [ -d "$root/tests/fuzz/corpus/$name" ]; then cp -n "$root/tests/fuzz/corpus/$name"/* "$corpus"/ 2>/dev/null || true; fi
  echo "== $name ($seconds s)"
  if ! ASAN_OPTIONS=detect_leaks=1 "$program" "$corpus" -max_total_time="$seconds" \
       -artifact_prefix="$artifacts/$name-" -print_final_stats=1 2>"$build/$name.log"; then
    echo "$name FAILED; see $build/$name.log"; tail -n 30 "$build/$name.log"; status=1
  fi
done
exit $status
