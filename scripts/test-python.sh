#!/usr/bin/env bash
# The Python package as a user installs it: the README's install line, run
# as it stands in a scratch folder beside a link to the checkout's python/
# (with PYTHON's folder first on the PATH, so that its python3 is the one
# the module was built for), then the package's tests and the benchmark
# figures with that environment's Python. Run by ctest (PythonPackage).
#
#   scripts/test-python.sh PYTHON BUILD
#
# BUILD is the build folder (configured with -DVKX_PYTHON=ON): its program is
# what the tests compare with, and its module is installed
# (VKX_PACKAGE_BUILD), so that the calculation is compiled once.
set -euo pipefail
python=$1
build=$(cd "$2" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)

line=$(grep -m1 '^python3 -m venv ' "$root/README.md") &&
  check=$(grep -m1 '^python3 -c "import vkx' "$root/README.md") || {
  echo "test-python.sh: no install line and first call in README.md" >&2
  exit 1
}
scratch=$build/python-package
rm -rf "$scratch"
mkdir -p "$scratch"
ln -s "$root/python" "$scratch/python"
cd "$scratch"
echo "+ $line"
echo "+ $check"
PATH=$(dirname "$python"):$PATH VKX_PACKAGE_BUILD=$build VKX_JOBS=${VKX_JOBS:-2} \
  bash -euo pipefail -c "{ $line; } >install.log 2>&1; $check" >first.txt || {
  cat install.log
  exit 1
}
expected="{'A': 0.6, 'B': 0.2, 'C': 0.2}"
if [ "$(cat first.txt)" != "$expected" ]; then
  echo "test-python.sh: the README's first call printed '$(cat first.txt)', not \"$expected\"" >&2
  exit 1
fi
venv=$scratch/.venv/bin/python
export VKX_BINARY=$build/vkx VKX_SOURCE_DIR=$root MPLBACKEND=Agg
"$venv" -m pytest -q -p no:cacheprovider "$root/python/tests"
"$venv" "$root/python/tests/bench.py"
