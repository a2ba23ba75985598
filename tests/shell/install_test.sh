#!/usr/bin/env bash
# cmake --install puts both commands in bin/ and their manual pages in
# share/man/man1/ of the prefix, and the installed commands convert the
# bundled examples.
#   install_test.sh BUILD_DIR SOURCE_DIR
# shellcheck source=tests/shell/helpers.sh
source "$(dirname "$0")/helpers.sh"
build_dir=$1
source_dir=$2

prefix=$scratch/prefix
cmake --install "$build_dir" --prefix "$prefix" >"$scratch/install.log" ||
  fail "cmake --install failed: $(cat "$scratch/install.log")"

for command in cdmg2csv cdmg2csv-v2; do
  [ -x "$prefix/bin/$command" ] || fail "no bin/$command in the prefix"
  page=$prefix/share/man/man1/$command.1.gz
  [ -f "$page" ] || fail "no share/man/man1/$command.1.gz in the prefix"
  gzip -dc "$page" >"$scratch/$command.1"
  expect_same "$source_dir/man/$command.1" "$scratch/$command.1" \
    "the installed manual page of $command"
done

convert_example "$prefix/bin/cdmg2csv" "$source_dir"
convert_v2_example "$prefix/bin/cdmg2csv-v2" "$source_dir"
echo "$test_name: passed"
