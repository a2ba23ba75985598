#!/usr/bin/env bash
# cmake --install puts the program in bin/ and its manual page in
# share/man/man1/ of the prefix, and the installed program converts the
# bundled example.
#   install_test.sh BUILD_DIR SOURCE_DIR
# shellcheck source=tests/shell/helpers.sh
source "$(dirname "$0")/helpers.sh"
build_dir=$1
source_dir=$2

prefix=$scratch/prefix
cmake --install "$build_dir" --prefix "$prefix" >"$scratch/install.log" ||
  fail "cmake --install failed: $(cat "$scratch/install.log")"

[ -x "$prefix/bin/cdmg2csv" ] || fail "no bin/cdmg2csv in the prefix"
page=$prefix/share/man/man1/cdmg2csv.1.gz
[ -f "$page" ] || fail "no share/man/man1/cdmg2csv.1.gz in the prefix"
gzip -dc "$page" >"$scratch/cdmg2csv.1"
expect_same "$source_dir/man/cdmg2csv.1" "$scratch/cdmg2csv.1" \
  "the installed manual page"

convert_example "$prefix/bin/cdmg2csv" "$source_dir"
echo "$test_name: passed"
