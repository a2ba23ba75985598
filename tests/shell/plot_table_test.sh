#!/usr/bin/env bash
# scripts/plot-table draws the example's table as a PNG of the size it
# promises, under the table's name with .png when no PNG name is given,
# draws a table with fields of asterisks, and refuses a missing, empty or
# foreign table with a message and a non-zero status, leaving no PNG.
#   plot_table_test.sh SOURCE_DIR
# shellcheck source=tests/shell/helpers.sh
source "$(dirname "$0")/helpers.sh"
source_dir=$1
plot=$source_dir/scripts/plot-table
readonly kWidth=1000 kHeight=900

# png_size FILE: prints "WIDTHxHEIGHT" from the PNG header, or fails when
# FILE is no PNG.
png_size() {
  [ "$(od -An -tx1 -N8 "$1" | tr -d ' \n')" = 89504e470d0a1a0a ] ||
    fail "$1 is not a PNG"
  local b
  read -r -a b < <(od -An -tu1 -j16 -N8 "$1")
  local width=$((b[0] * 16777216 + b[1] * 65536 + b[2] * 256 + b[3]))
  local height=$((b[4] * 16777216 + b[5] * 65536 + b[6] * 256 + b[7]))
  echo "${width}x$height"
}

expect_picture() {
  [ -f "$1" ] || fail "no $1"
  local size
  size=$(png_size "$1")
  [ "$size" = "${kWidth}x$kHeight" ] ||
    fail "$1 is $size pixels, not ${kWidth}x$kHeight"
}

cd "$scratch" || exit 1
cp "$source_dir/tests/data/example/table.csv" example.csv

# The default name, and a name given.
"$plot" example.csv || fail "plot-table example.csv exited with status $?"
expect_picture example.png
mkdir pictures
"$plot" example.csv pictures/given.png || fail "plot-table with a PNG name failed"
expect_picture pictures/given.png

# Fields of asterisks and inf are gaps, and a column with no number at all
# is an empty panel; neither stops the plot.
sed '200,260s/^\(.\{8\}\).\{10\}/\1**********/; 600s/[^,]*$/       inf/' \
  example.csv >overflow.csv
grep -q '^  0.995,\*\*\*\*\*\*\*\*\*\*,' overflow.csv || fail "bad fixture"
"$plot" overflow.csv || fail "plot-table overflow.csv failed"
expect_picture overflow.png
sed 's/^\(.\{8\}\).\{10\}/\1**********/' example.csv >no-first-column.csv
"$plot" no-first-column.csv || fail "plot-table no-first-column.csv failed"
expect_picture no-first-column.png

# Refusals: table | PNG | the message on standard error.
: >empty.csv
printf 'time,a,b,c\n' >header.csv
printf '  0.000,     0.114,    -3.372\n' >three-fields.csv
printf '*******,     0.114,    -3.372,     0.165\n' >no-time.csv
cases=(
  "missing.csv|missing.png|plot-table: missing.csv: no such file"
  "empty.csv|empty.png|plot-table: empty.csv: the table is empty, there is nothing to plot"
  "header.csv|header.png|plot-table: header.csv line 1: \"time\" is not a number of a table"
  "three-fields.csv|three-fields.png|plot-table: three-fields.csv line 1: not a row of a cdmg2csv table"
  "no-time.csv|no-time.png|plot-table: no-time.csv: no row has a time to plot"
  "example.csv|example.csv|plot-table: example.csv: the picture would replace the table"
)
for case in "${cases[@]}"; do
  IFS='|' read -r table png message <<<"$case"
  before=$(ls -A)
  status=0
  "$plot" "$table" "$png" >out.txt 2>err.txt || status=$?
  [ "$status" -ne 0 ] || fail "plot-table $table succeeded"
  [ "$(cat err.txt)" = "$message" ] ||
    fail "plot-table $table said '$(cat err.txt)', not '$message'"
  rm out.txt err.txt
  [ "$(ls -A)" = "$before" ] || fail "plot-table $table left files behind"
done
cmp -s example.csv "$source_dir/tests/data/example/table.csv" ||
  fail "the table was changed"

status=0
"$plot" 2>err.txt || status=$?
if [ "$status" -ne 2 ] || ! grep -q '^usage: plot-table TABLE \[PNG\]$' err.txt
then
  fail "plot-table without arguments gave status $status: $(cat err.txt)"
fi
echo "$test_name: passed"
