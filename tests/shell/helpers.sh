# shellcheck shell=bash
# Helpers shared by the shell tests: sourced, not run.
#
# Each test runs with "set -euo pipefail", works in its own scratch
# directory (removed at exit), and reports a failure with `fail`, which
# names the test and ends it with status 1.

set -euo pipefail

readonly kSkipped=77 # ctest's SKIP_RETURN_CODE for these tests
test_name=$(basename "$0" .sh)

fail() {
  echo "$test_name: FAILED: $*" >&2
  exit 1
}

skip() {
  echo "$test_name: skipped: $*"
  exit "$kSkipped"
}

scratch=$(mktemp -d "${TMPDIR:-/tmp}/cdmg2csv-test-XXXXXX")
trap 'rm -rf "$scratch"' EXIT

# expect_same EXPECTED ACTUAL WHAT: the two files hold the same bytes.
expect_same() {
  cmp -s -- "$1" "$2" || {
    diff -u -- "$1" "$2" | head -n 20 >&2 || true
    fail "$3 is not as expected (diff above: - expected, + actual)"
  }
}

# build_package BUILD_DIR: builds the Debian package of BUILD_DIR with cpack
# in the scratch directory and prints the path of the one .deb it made.
build_package() {
  cpack --config "$1/CPackConfig.cmake" -G DEB -B "$scratch/package" \
    >"$scratch/cpack.log" 2>&1 || fail "cpack failed: $(cat "$scratch/cpack.log")"
  local packages=("$scratch"/package/*.deb)
  if [ ${#packages[@]} -ne 1 ] || [ ! -f "${packages[0]}" ]; then
    fail "cpack made ${#packages[@]} .deb files"
  fi
  echo "${packages[0]}"
}

# convert_example PROGRAM SOURCE_DIR: runs PROGRAM on the bundled example
# in a fresh directory, typing example.csv at the prompt, and checks the
# exact transcript, the exact table, an empty standard error and status 0.
convert_example() {
  local program=$1 source_dir=$2
  local run
  run=$(mktemp -d "$scratch/run-XXXXXX")
  cp "$source_dir"/examples/RRS-N41W.txt "$source_dir"/examples/RRS-S49W.txt \
    "$source_dir"/examples/RRS-UP.txt "$run"/
  local status=0
  (cd "$run" && echo example.csv | "$program" >transcript.txt 2>stderr.txt) ||
    status=$?
  [ "$status" -eq 0 ] || fail "$program exited with status $status"
  [ ! -s "$run/stderr.txt" ] ||
    fail "$program wrote to standard error: $(cat "$run/stderr.txt")"
  expect_same "$source_dir/tests/data/example/transcript.txt" \
    "$run/transcript.txt" "the transcript of $program"
  expect_same "$source_dir/tests/data/example/table.csv" \
    "$run/example.csv" "the table of $program"
}

# convert_v2_example PROGRAM SOURCE_DIR: runs PROGRAM (cdmg2csv-v2) on the
# bundled station file in the published V2 layout and checks that it writes
# the expected table, one summary line, nothing on standard error and
# status 0.
convert_v2_example() {
  local program=$1 source_dir=$2
  local run
  run=$(mktemp -d "$scratch/v2-run-XXXXXX")
  local status=0
  "$program" -d "$run/tables" "$source_dir/examples/v2/example-station.v2" \
    >"$run/out.txt" 2>"$run/err.txt" || status=$?
  [ "$status" -eq 0 ] || fail "$program exited with status $status"
  [ ! -s "$run/err.txt" ] ||
    fail "$program wrote to standard error: $(cat "$run/err.txt")"
  [ "$(wc -l <"$run/out.txt")" -eq 1 ] || fail "$program wrote no summary line"
  expect_same "$source_dir/examples/v2/expected-table.csv" \
    "$run/tables/example-station.csv" "the table of $program"
}
