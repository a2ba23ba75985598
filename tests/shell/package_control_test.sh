#!/usr/bin/env bash
# cpack builds a Debian package that holds both commands, their manual
# pages, the copyright file and the changelog; whose dependencies name the
# libf2c2 run-time, GNU parallel and unzip and no package that is only
# needed to build; and on which lintian reports no error.
#   package_control_test.sh BUILD_DIR
# shellcheck source=tests/shell/helpers.sh
source "$(dirname "$0")/helpers.sh"
build_dir=$1

package=$(build_package "$build_dir")

[ "$(dpkg-deb -f "$package" Package)" = cdmg2csv ] ||
  fail "the package is not named cdmg2csv"

depends=$(dpkg-deb -f "$package" Depends)
echo "Depends: $depends"
names=$(echo "$depends" | tr ',|' '\n' | sed 's/(.*)//; s/[[:space:]]//g' |
  grep -v '^$')
for needed in libf2c2 parallel unzip; do
  echo "$names" | grep -qx "$needed" || fail "Depends does not name $needed"
done
build_only='.*-dev|cmake|make|g\+\+|gcc|cpp|googletest|dpkg-dev|file|groff-base|groff|mandoc|gnuplot.*'
if offending=$(echo "$names" | grep -Ex "$build_only"); then
  fail "Depends names build-only packages: $offending"
fi

dpkg-deb --contents "$package" | awk '$1 !~ /^d/ { print $NF }' |
  sort >"$scratch/files"
printf '%s\n' ./usr/bin/cdmg2csv ./usr/bin/cdmg2csv-v2 \
  ./usr/share/man/man1/cdmg2csv.1.gz ./usr/share/man/man1/cdmg2csv-v2.1.gz \
  ./usr/share/doc/cdmg2csv/copyright ./usr/share/doc/cdmg2csv/changelog.gz |
  sort >"$scratch/expected-files"
expect_same "$scratch/expected-files" "$scratch/files" "the package's file list"

lintian --fail-on error "$package" >"$scratch/lintian.txt" 2>&1 ||
  fail "lintian reports errors: $(cat "$scratch/lintian.txt")"
echo "$test_name: passed"
