#!/usr/bin/env bash
# Installs what the build needs (only what is missing, with apt-get), then
# configures and builds vkx; with --tests also its tests and benchmarks.
#
#   scripts/build.sh [--tests] [extra cmake options]
#
# The build folder is build/ beside this repository's sources, or
# $VKX_BUILD_DIR when that is set.
set -euo pipefail
cd "$(dirname "$0")/.."

# Without --tests only the program is built: the test suite and the
# benchmarks take most of the build time. The tests also build and test the
# Python and R packages (python/, r/), which need their own packages.
target=(--target vkx)
packages=()
if [ "${1:-}" = --tests ]; then
  target=()
  packages=(-DVKX_PYTHON=ON -DVKX_R=ON)
  shift
fi

missing=()
command -v g++ >/dev/null 2>&1 || missing+=(g++)
command -v make >/dev/null 2>&1 || missing+=(make)
command -v cmake >/dev/null 2>&1 || missing+=(cmake)
[ -e /usr/include/gtest/gtest.h ] || missing+=(libgtest-dev)
[ -e /usr/include/benchmark/benchmark.h ] || missing+=(libbenchmark-dev)
[ -e /usr/include/gmpxx.h ] || missing+=(libgmp-dev)
[ -e /usr/include/flint/nmod_poly.h ] || missing+=(libflint-dev)
[ -e /usr/include/CLI/CLI.hpp ] || missing+=(libcli11-dev)
[ -e /usr/include/nlohmann/json.hpp ] || missing+=(nlohmann-json3-dev)
command -v tmux >/dev/null 2>&1 || missing+=(tmux)
command -v clang++ >/dev/null 2>&1 || missing+=(clang)  # the fuzzers (scripts/fuzz.sh)
# libFuzzer, the runtime of the fuzzers, comes in a package of its own.
compgen -G "/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-*.a" >/dev/null || missing+=(libclang-rt-dev)
if [ ${#packages[@]} -gt 0 ]; then
  for p in python3-dev python3-venv python3-pip pybind11-dev python3-pybind11 python3-pytest \
    python3-numpy python3-pandas python3-matplotlib r-base-dev r-cran-rcpp r-cran-testthat; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
  done
fi

if [ ${#missing[@]} -gt 0 ]; then
  if ! command -v apt-get >/dev/null 2>&1; then
    echo "build.sh: please install: ${missing[*]}" >&2
    exit 1
  fi
  sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  echo "build.sh: installing ${missing[*]}" >&2
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" </dev/null
fi

dir=${VKX_BUILD_DIR:-build}
cmake -S . -B "$dir" "${packages[@]}" "$@"
cmake --build "$dir" -j "${VKX_JOBS:-$(nproc)}" "${target[@]}"
