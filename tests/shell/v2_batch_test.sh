#!/usr/bin/env bash
# cdmg2csv-v2 turns published V2 records (a station file, a folder or a .zip
# of one-channel files) into the tables cdmg2csv writes for their channels,
# refuses what it cannot convert with a reason, and never leaves a partial
# table or scratch file behind.
#   v2_batch_test.sh BUILD_DIR SOURCE_DIR
# shellcheck source=tests/shell/helpers.sh
source "$(dirname "$0")/helpers.sh"
build_dir=$1
source_dir=$2
v2=$build_dir/cdmg2csv-v2
example=$source_dir/examples/v2
expected=$example/expected-table.csv

# Scratch folders of the command land here, so that leftovers show.
export TMPDIR=$scratch/tmp
mkdir "$TMPDIR"
work=$scratch/work
mkdir "$work"
cd "$work"

# run NAME ARGS...: runs cdmg2csv-v2, keeping NAME.out, NAME.err, NAME.status.
run() {
  local name=$1
  shift
  local status=0
  "$v2" "$@" >"$name.out" 2>"$name.err" </dev/null || status=$?
  echo "$status" >"$name.status"
}

expect_status() { # NAME STATUS
  [ "$(cat "$1.status")" = "$2" ] ||
    fail "$1: status $(cat "$1.status"), not $2; stderr: $(cat "$1.err")"
}

expect_text() { # FILE TEXT WHAT
  printf '%s\n' "$2" >"$scratch/expected-text"
  expect_same "$scratch/expected-text" "$1" "$3"
}

no_leftovers() { # WHAT
  local left
  left=$(find "$TMPDIR" -mindepth 1 -print -quit)
  [ -z "$left" ] || fail "$1: scratch left behind: $left"
  left=$(find "$work" -name '.*.csv.*' -print -quit)
  [ -z "$left" ] || fail "$1: a staged table left behind: $left"
}

readonly station_line="1 360 Deg, 3 90 Deg, 2 Up; nt 2005; dt 0.010; peak 546.851 at 3.560 s, 467.279 at 4.210 s, 321.910 at 3.870 s"

# The station file converts to the table its generator worked out, which is
# also what cdmg2csv writes for its three channels by hand.
mkdir by-hand
cp "$example"/RRS-N41W.txt "$example"/RRS-S49W.txt "$example"/RRS-UP.txt by-hand/
(cd by-hand && echo table.csv | "$build_dir/cdmg2csv" >/dev/null)
expect_same "$expected" by-hand/table.csv "cdmg2csv by hand on the example"
cp "$example/example-station.v2" station.v2
run station station.v2
expect_status station 0
expect_same by-hand/table.csv station.csv "the table of the station file"
expect_text station.out "./station.csv: $station_line" "the summary line"
[ ! -s station.err ] || fail "station: stderr: $(cat station.err)"
no_leftovers station

# One-channel files, cut from the station file and renamed as a building's:
# channel 1 Up, channel 2 Long, channel 3 Tran, in files whose numbers are
# not the channel numbers and whose extensions differ in case.
one_channel() { # STATION_CHANNEL NEW_HEADER FILE
  awk -v want="$1" 'BEGIN { n = 1 } n == want { print } /^\/&/ { n++ }' \
    station.v2 | sed "1s/Chan  [0-9]: [0-9A-Za-z]* *[A-Za-z]*/$2/" >"$3"
}
mkdir building
one_channel 2 'Chan  1: Up        ' building/chan001.v2
one_channel 3 'Chan  3: Tran      ' building/chan002.v2
one_channel 1 'Chan  2: Long      ' building/CHAN003.V2
head -n 1 building/CHAN003.V2 | grep -q 'Chan  2: Long' ||
  fail "the fixture's record 1 was not renamed"
(cd building && zip -q ../building.zip chan001.v2 chan002.v2 CHAN003.V2)
run folder building
expect_status folder 0
expect_same "$expected" building.csv "the table of the folder"
run zipped -d from-zip building.zip
expect_status zipped 0
expect_same "$expected" from-zip/building.csv "the table of the .zip"
expect_text zipped.out \
  "from-zip/building.csv: 2 Long, 3 Tran, 1 Up; nt 2005; dt 0.010; peak 546.851 at 3.560 s, 467.279 at 4.210 s, 321.910 at 3.870 s" \
  "the summary line of the .zip"
no_leftovers "folder and .zip"

# Six channels: refused with the list, converted with -c; an unknown channel
# number is refused too.
{
  cat station.v2
  sed 's/Chan  1:/Chan  4:/; s/Chan  2:/Chan  5:/; s/Chan  3:/Chan  6:/' \
    station.v2
} >six.v2
readonly six_list="1 360 Deg, 2 Up, 3 90 Deg, 4 360 Deg, 5 Up, 6 90 Deg"
run six six.v2
expect_status six 1
expect_text six.err \
  "cdmg2csv-v2: six.v2: 6 channels, 2 of them vertical; choose three with -c A,B,C: $six_list" \
  "the refusal of six channels"
[ ! -e six.csv ] || fail "a table of six channels without -c"
run six-chosen -c 4,6,5 six.v2
expect_status six-chosen 0
expect_same "$expected" six.csv "the table of channels 4, 6 and 5"
rm six.csv
run six-unknown -c 4,9,5 six.v2
expect_status six-unknown 1
expect_text six-unknown.err \
  "cdmg2csv-v2: six.v2: unknown channel number 9; its channels: $six_list" \
  "the refusal of an unknown channel"
[ ! -e six.csv ] || fail "a table with an unknown channel"
no_leftovers "six channels"

# A batch of four, one of them truncated in its third channel's samples:
# three tables, status 1, the bad record named with its reason.
mkdir batch
for name in first second third; do cp station.v2 "batch/$name.v2"; done
head -c 170000 station.v2 >batch/truncated.v2
run batch batch/first.v2 batch/truncated.v2 batch/second.v2 batch/third.v2
expect_status batch 1
expect_text batch.err \
  "cdmg2csv-v2: batch/truncated.v2: not a complete V2 file: channel 3 ends without its /& record" \
  "the report of the truncated record"
for name in first second third; do
  expect_same "$expected" "batch/$name.csv" "the table of batch/$name.v2"
done
[ ! -e batch/truncated.csv ] || fail "a table of the truncated record"
[ "$(wc -l <batch.out)" -eq 3 ] || fail "not three summary lines"
no_leftovers batch

# A record that cdmg2csv itself refuses is named with the first line of its
# report.
sed '0,/^At equally/s/^At equally-spaced intervals of/Sampled every/' \
  station.v2 >words.v2
run words words.v2
expect_status words 1
expect_text words.err \
  "cdmg2csv-v2: words.v2: cdmg2csv ended with status 134: invalid number: incomprehensible list input" \
  "the report of a record cdmg2csv refuses"
no_leftovers words

# Names with blanks, into a folder that does not exist yet.
mkdir "with blanks"
cp station.v2 "with blanks/my station.v2"
run blanks -d "out dir/new" "with blanks/my station.v2"
expect_status blanks 0
expect_same "$expected" "out dir/new/my station.csv" "the table named with blanks"
expect_text blanks.out "out dir/new/my station.csv: $station_line" \
  "the summary line with blanks"

# One job or four: the same tables and summary lines, order aside.
run one-job -j 1 -d one batch/first.v2 batch/second.v2 building building.zip
run four-jobs -j 4 -d four batch/first.v2 batch/second.v2 building building.zip
expect_status one-job 0
expect_status four-jobs 0
sed 's/^one\///' one-job.out | sort >one-job.lines
sed 's/^four\///' four-jobs.out | sort >four-jobs.lines
expect_same one-job.lines four-jobs.lines "the summary lines of -j 1 and -j 4"
for table in one/*.csv; do
  expect_same "$table" "four/${table#one/}" "the table ${table#one/}"
done
tables=(one/*.csv)
[ ${#tables[@]} -eq 3 ] || fail "-j 1 did not write three tables"

# An interrupted batch, as Ctrl-C in a terminal interrupts it (the whole
# process group): status 130, every table there complete, nothing staged,
# no scratch left. (A job started with & ignores SIGINT; env gives the batch
# the default action back, as a terminal would have it.)
readonly records=40
mkdir many
for ((n = 1; n <= records; ++n)); do cp station.v2 "many/r$n.v2"; done
setsid env --default-signal=INT "$v2" -j 2 -d many-out many/*.v2 \
  >many.out 2>many.err </dev/null &
batch_pid=$!
# Interrupted once the first table is there, in the thick of the batch.
for ((tries = 0; tries < 1000; ++tries)); do
  compgen -G 'many-out/*.csv' >/dev/null && break
  sleep 0.01
done
kill -INT -- "-$batch_pid"
status=0
wait "$batch_pid" || status=$?
[ "$status" -eq 130 ] || fail "the interrupted batch ended with $status"
converted=0
for table in many-out/*.csv; do
  [ -e "$table" ] || continue
  expect_same "$expected" "$table" "the table $table of the interrupted batch"
  converted=$((converted + 1))
done
[ "$converted" -lt "$records" ] || fail "the batch ended before the interrupt"
no_leftovers "the interrupted batch"

# Usage: -h prints it and succeeds; mistakes print it with status 2.
run help -h
expect_status help 0
head -n 1 help.out | grep -qx 'usage: cdmg2csv-v2 \[-d DIR\] \[-c A,B,C\] \[-j N\] RECORD\.\.\.' ||
  fail "-h does not print the usage"
while IFS='|' read -r name arguments message; do
  read -r -a words <<<"$arguments"
  run "$name" "${words[@]}"
  expect_status "$name" 2
  head -n 1 "$name.err" | grep -qxF "cdmg2csv-v2: $message" ||
    fail "$name: stderr is not '$message': $(cat "$name.err")"
done <<'EOF'
no-record||no record named
bad-jobs|-j 0 station.v2|-j takes a number of jobs from 1 up
bad-channels|-c 1,2 station.v2|-c takes three channel numbers: A,B,C
unknown-option|-x station.v2|unknown option -x
EOF
echo "$test_name: passed"
