#!/usr/bin/env bash
# The manual page renders without a warning from groff (and from mandoc's
# checker where mandoc is installed), has every section a reader looks for,
# and its example session is what the program really prints.
#   manual_page_test.sh SOURCE_DIR
# shellcheck source=tests/shell/helpers.sh
source "$(dirname "$0")/helpers.sh"
source_dir=$1
page=$source_dir/man/cdmg2csv.1

groff -man -ww -z "$page" >"$scratch/groff.txt" 2>&1 ||
  fail "groff failed: $(cat "$scratch/groff.txt")"
[ ! -s "$scratch/groff.txt" ] || fail "groff warns: $(cat "$scratch/groff.txt")"

if command -v mandoc >/dev/null; then
  mandoc -Tlint "$page" >"$scratch/mandoc.txt" 2>&1 ||
    fail "mandoc -Tlint: $(cat "$scratch/mandoc.txt")"
  [ ! -s "$scratch/mandoc.txt" ] ||
    fail "mandoc -Tlint warns: $(cat "$scratch/mandoc.txt")"
else
  echo "$test_name: mandoc is not installed; only groff checked the page"
fi

for section in NAME SYNOPSIS DESCRIPTION FILES 'EXIT STATUS' DIAGNOSTICS \
  NOTES EXAMPLES; do
  grep -qx "\\.SH \"\\?$section\"\\?" "$page" || fail "no $section section"
done

# The session under EXAMPLES, from "$ cdmg2csv" to the typed name, is the
# example's transcript (without the title records' trailing blanks) and the
# typed name; the "$ head -n 3" lines after it are the table's first rows.
sed -n '/^\.SH EXAMPLES/,$p' "$page" | sed -n '/^\.EX/,/^\.EE/p' |
  sed '1d; /^\.EE/,$d' | sed 's/\\-/-/g; s/\\&//g; s/\\e/\\/g' >"$scratch/session"
{
  echo '$ cdmg2csv'
  sed 's/ *$//' "$source_dir/tests/data/example/transcript.txt"
  echo example.csv
  echo '$ head -n 3 example.csv'
  head -n 3 "$source_dir/tests/data/example/table.csv"
} >"$scratch/expected-session"
expect_same "$scratch/expected-session" "$scratch/session" \
  "the session under EXAMPLES"
echo "$test_name: passed"
