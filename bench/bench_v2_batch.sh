#!/usr/bin/env bash
# Times cdmg2csv-v2 on a batch of synthetic station records in the published
# V2 layout: one job at a time against the default (one a processor).
# Prints records per second for each and the speed-up.
#   bench/bench_v2_batch.sh BUILD_DIR [RECORDS [SAMPLES]]
# BUILD_DIR holds cdmg2csv and cdmg2csv-v2; RECORDS defaults to 200 and
# SAMPLES (a channel) to 10,000. Needs python3 for the generator.
set -euo pipefail
build_dir=$(cd "$1" && pwd)
records=${2:-200}
samples=${3:-10000}
source_dir=$(cd "$(dirname "$0")/.." && pwd)

work=$(mktemp -d "${TMPDIR:-/tmp}/cdmg2csv-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/records"
python3 "$source_dir/examples/v2/make_v2_example.py" \
  --station "$work/station.v2" --samples "$samples"
for ((n = 1; n <= records; ++n)); do
  cp "$work/station.v2" "$work/records/station-$n.v2"
done

# seconds JOBS_OPTION...: the wall time of one batch, in seconds.
seconds() {
  local out=$work/out-$RANDOM
  local start end
  start=$(date +%s.%N)
  "$build_dir/cdmg2csv-v2" "$@" -d "$out" "$work"/records/*.v2 >/dev/null
  end=$(date +%s.%N)
  local tables=("$out"/*.csv)
  [ ${#tables[@]} -eq "$records" ] || {
    echo "only ${#tables[@]} of $records tables" >&2
    exit 1
  }
  rm -rf "$out"
  awk -v a="$end" -v b="$start" 'BEGIN { print a - b }'
}

# ratio A B: A / B.
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { print a / b }'; }

one=$(seconds -j 1)
all=$(seconds)
printf '%d records of 3 channels x %d samples, %d processors\n' \
  "$records" "$samples" "$(nproc)"
printf '%-24s %8.2f s  %7.1f records/s\n' "-j 1" "$one" \
  "$(ratio "$records" "$one")"
printf '%-24s %8.2f s  %7.1f records/s\n' "default (-j $(nproc))" "$all" \
  "$(ratio "$records" "$all")"
printf 'speed-up %.2f\n' "$(ratio "$one" "$all")"
