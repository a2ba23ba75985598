#!/usr/bin/env bash
# Every shell script of the project passes shellcheck: the cdmg2csv-v2
# command, the set-up scripts, CI and these tests.
#   usage: shellcheck_test.sh SOURCE_DIR
# shellcheck source=tests/shell/helpers.sh
source "$(dirname "$0")/helpers.sh"
source_dir=$1
cd "$source_dir"
shellcheck -x src/cdmg2csv-v2 scripts/* .ci/run tests/shell/*.sh \
  bench/*.sh >"$scratch/report.txt" 2>&1 ||
  fail "shellcheck: $(cat "$scratch/report.txt")"
echo "$test_name: passed"
