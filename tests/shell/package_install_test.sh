#!/usr/bin/env bash
# The Debian package installs with dpkg, the installed commands convert the
# bundled examples, and dpkg removes them again without a trace. It changes the
# system's package set, so it runs only as root and only where no cdmg2csv
# package is installed already; otherwise it is skipped.
#   package_install_test.sh BUILD_DIR SOURCE_DIR
# shellcheck source=tests/shell/helpers.sh
source "$(dirname "$0")/helpers.sh"
build_dir=$1
source_dir=$2

[ "$(id -u)" -eq 0 ] || skip "installing a package needs root"
if dpkg-query -W -f='${Status}' cdmg2csv 2>/dev/null | grep -q ' installed$'; then
  skip "a cdmg2csv package is installed on this system; it is left as it is"
fi

package=$(build_package "$build_dir")

# Whatever happens below, the package does not stay on the system.
trap 'dpkg --purge cdmg2csv >/dev/null 2>&1 || true; rm -rf "$scratch"' EXIT

dpkg --install "$package" >"$scratch/dpkg.log" 2>&1 ||
  fail "dpkg --install failed: $(cat "$scratch/dpkg.log")"
dpkg-query -W -f='${Status}' cdmg2csv | grep -qx 'install ok installed' ||
  fail "dpkg does not list cdmg2csv as installed"
installed=(/usr/bin/cdmg2csv /usr/bin/cdmg2csv-v2
  /usr/share/man/man1/cdmg2csv.1.gz /usr/share/man/man1/cdmg2csv-v2.1.gz
  /usr/share/doc/cdmg2csv/copyright)
for file in "${installed[@]}"; do
  [ -e "$file" ] || fail "$file is not installed"
done
convert_example /usr/bin/cdmg2csv "$source_dir"
convert_v2_example /usr/bin/cdmg2csv-v2 "$source_dir"

dpkg --purge cdmg2csv >"$scratch/dpkg.log" 2>&1 ||
  fail "dpkg --purge failed: $(cat "$scratch/dpkg.log")"
if dpkg-query -W -f='${Status}' cdmg2csv 2>/dev/null | grep -q ' installed$'; then
  fail "dpkg still lists cdmg2csv after removal"
fi
for file in "${installed[@]}"; do
  [ ! -e "$file" ] || fail "$file is left after removal"
done
echo "$test_name: passed"
