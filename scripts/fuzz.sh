#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang (in build-fuzz/, or
# $VKX_FUZZ_DIR) and runs each for SECONDS (20 unless given), or only the
# targets named:
#
#   scripts/fuzz.sh [SECONDS [TARGET...]]      e.g. scripts/fuzz.sh 600 keys
#
# Each target starts from its seeds in fuzz/corpus/TARGET/ and keeps what it
# finds in build-fuzz/corpus/TARGET/, so a later run goes on from there. A
# fault ends the script with a non-zero status and leaves the input that
# caused it in build-fuzz/ (crash-..., leak-..., timeout-...); run the target
# on that file alone to see it again.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-20}
shift || true
dir=${VKX_FUZZ_DIR:-build-fuzz}

if ! command -v clang++ >/dev/null 2>&1 ||
  ! compgen -G "/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-*.a" >/dev/null; then
  sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  echo "fuzz.sh: installing clang" >&2
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq clang libclang-rt-dev </dev/null
fi

CXX=clang++ cmake -S . -B "$dir" -DVKX_FUZZ=ON -DBUILD_TESTING=OFF -DVKX_BENCH=OFF >/dev/null
cmake --build "$dir" -j "${VKX_JOBS:-$(nproc)}"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for seeds in fuzz/corpus/*/; do targets+=("$(basename "$seeds")"); done
fi
for t in "${targets[@]}"; do
  echo "== fuzz $t for ${seconds}s"
  mkdir -p "$dir/corpus/$t"
  log="$dir/fuzz_$t.log"
  if ! "$dir/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$dir/" "$dir/corpus/$t" "fuzz/corpus/$t" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "fuzz.sh: $t found a fault (see $log)" >&2
    exit 1
  fi
  grep -E '^(#[0-9]+ *DONE|stat::number_of_executed_units|stat::peak_rss_mb)' "$log"
  echo "corpus: $(ls "$dir/corpus/$t" | wc -l) inputs"
done
