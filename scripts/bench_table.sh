#!/usr/bin/env bash
# Prints the table of every benchmarked action: its time (wall and CPU), its
# raw SQLite twin's, their ratio and the disk syncs of each (data file / work
# file), at 50,000 and 500,000 stored lines, as medians of repeated runs.
#   scripts/bench_table.sh [repetitions] [benchmark filter]
set -euo pipefail
cd "$(dirname "$0")/.."
reps=${1:-5}
filter=${2:-.}
programs=(bench_db bench_entry bench_lists bench_maintenance bench_report bench_backup)
ninja -C build "${programs[@]}" >/dev/null
export QT_QPA_PLATFORM=offscreen
echo "load average $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) CPUs; medians of $reps runs"
for program in "${programs[@]}"; do
  echo
  echo "== $program"
  build/bench/$program --benchmark_repetitions="$reps" --benchmark_report_aggregates_only=true \
    --benchmark_min_time=0.05 --benchmark_filter="$filter" 2>/dev/null | sed -n '/^action /,$p'
done
