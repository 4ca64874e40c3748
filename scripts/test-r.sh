#!/usr/bin/env bash
# The R package as a user installs it: the README's install line, run as it
# stands in the checkout into a fresh library (R_LIBS), the README's first
# call, then the package's tests against the program. Run by ctest
# (RPackage).
#
#   scripts/test-r.sh BUILD
#
# BUILD is the build folder (configured with -DVKX_R=ON): its program is what
# the tests compare with, and its libraries are linked (VKX_PACKAGE_BUILD),
# so that the calculation is compiled once.
set -euo pipefail
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

line=$(grep -m1 '^R CMD INSTALL ' README.md) &&
  check=$(grep -m1 "^Rscript -e 'library(vkx)" README.md) || {
  echo "test-r.sh: no install line and first call in README.md" >&2
  exit 1
}
version=$(scripts/version.sh)
described=$(sed -n 's/^Version: *//p' r/DESCRIPTION)
if [ "$described" != "$version" ]; then
  echo "test-r.sh: r/DESCRIPTION says version $described, the program $version" >&2
  exit 1
fi
export R_LIBS=$build/r-library
rm -rf "$R_LIBS"
mkdir -p "$R_LIBS"
echo "+ $line"
echo "+ $check"
VKX_PACKAGE_BUILD=$build bash -euo pipefail -c "$line" >"$build/r-install.log" 2>&1 || {
  cat "$build/r-install.log"
  exit 1
}
first=$(bash -c "$check")
expected=$'  A   B   C \n0.6 0.2 0.2 '
if [ "$first" != "$expected" ]; then
  printf 'test-r.sh: the README'"'"'s first call printed\n%s\nnot\n%s\n' "$first" "$expected" >&2
  exit 1
fi
VKX_BINARY=$build/vkx VKX_SOURCE_DIR=$root Rscript -e \
  'testthat::test_dir("r/tests/testthat", package = "vkx", load_package = "installed",
                      stop_on_failure = TRUE)'
