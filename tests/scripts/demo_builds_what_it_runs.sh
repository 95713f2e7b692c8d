#!/usr/bin/env bash
# scripts/demo builds the programs it runs and nothing of the tests or benchmarks.
#   demo_builds_what_it_runs.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source_dir=$1 build_dir=$2

targets=$("$source_dir/scripts/demo" --targets)
[ -n "$targets" ] || { echo "scripts/demo names no targets"; exit 1; }
# Every program the demo runs is one of its targets.
for program in $(grep -o 'build/default/bin/[A-Za-z0-9_]*' "$source_dir/scripts/demo" | sort -u); do
  grep -qw "$(basename "$program")" <<<"$targets" || { echo "the demo runs $program but does not build it"; exit 1; }
done
# Everything those targets need, as paths below the source or build folder.
inputs=$(ninja -C "$build_dir" -t inputs $targets | sed -e "s|^$source_dir/||" -e "s|^$build_dir/||")
count=$(wc -l <<<"$inputs")
extra=$(grep -E '^(tests|bench|fuzz|examples)/|/(test|bench)_[^/]*$' <<<"$inputs" || true)
if [ -n "$extra" ]; then
  echo "scripts/demo builds tests or benchmarks:"
  head -20 <<<"$extra"
  exit 1
fi
echo "scripts/demo builds $targets: $count inputs, none of a test or benchmark"
