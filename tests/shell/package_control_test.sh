#!/usr/bin/env bash
# cpack builds a Debian package that holds the program and its manual page,
# and whose dependencies name the libf2c2 run-time and no package that is
# only needed to build.
#   package_control_test.sh BUILD_DIR
# shellcheck source=tests/shell/helpers.sh
source "$(dirname "$0")/helpers.sh"
build_dir=$1

package=$(build_package "$build_dir")

[ "$(dpkg-deb -f "$package" Package)" = cdmg2csv ] ||
  fail "the package is not named cdmg2csv"

depends=$(dpkg-deb -f "$package" Depends)
echo "Depends: $depends"
names=$(echo "$depends" | tr ',|' '\n\n' | sed 's/(.*)//; s/[[:space:]]//g' |
  grep -v '^$')
echo "$names" | grep -qx libf2c2 || fail "Depends does not name libf2c2"
build_only='.*-dev|cmake|make|g\+\+|gcc|cpp|googletest|dpkg-dev|file|groff-base|groff|mandoc|gnuplot.*'
if offending=$(echo "$names" | grep -Ex "$build_only"); then
  fail "Depends names build-only packages: $offending"
fi

dpkg-deb --contents "$package" | awk '$1 !~ /^d/ { print $NF }' |
  sort >"$scratch/files"
printf '%s\n' ./usr/bin/cdmg2csv ./usr/share/man/man1/cdmg2csv.1.gz |
  sort >"$scratch/expected-files"
expect_same "$scratch/expected-files" "$scratch/files" "the package's file list"
echo "$test_name: passed"
