#!/usr/bin/env bash
# Fails when a C++ source differs from what clang-format makes of it with the
# checked-in .clang-format. Installs clang-format when it is missing.
#
#   scripts/check-format.sh        report the files that differ
#   scripts/check-format.sh -i     format them in place
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v clang-format >/dev/null 2>&1; then
  sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq clang-format </dev/null
fi

mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "-i" ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
bad=0
for f in "${files[@]}"; do
  if ! clang-format "$f" | cmp -s - "$f"; then
    echo "not formatted: $f (scripts/check-format.sh -i formats it)"
    bad=1
  fi
done
exit $bad
