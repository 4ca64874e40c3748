#!/usr/bin/env bash
# Builds the web page: the calculation layers compiled to WebAssembly with
# emscripten (Debian's package, em++), and the page around them, into
# build-web/index.html, one file that works from disk or any static host.
#
#   scripts/build-web.sh
#
# The build folder is build-web/ beside the sources, or $VKX_WEB_DIR.
# Without em++ it says so and stops with status 0, unless --strict is given.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${VKX_WEB_DIR:-build-web}
if ! command -v em++ >/dev/null 2>&1 || ! command -v emcmake >/dev/null 2>&1; then
  echo "build-web.sh: em++ not found (apt-get install emscripten): the web page is not built"
  [ "${1:-}" = --strict ] && exit 1
  exit 0
fi
# Debian's emscripten finds its optimizer's node modules here.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
emcmake cmake -S . -B "$out" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$out" --target vkx_web -j "${VKX_JOBS:-2}"

# The page: the module and the worker's script go into the page as text,
# so that the worker starts from a blob (a worker cannot be loaded from a
# file:// address).
version=$(cat VERSION 2>/dev/null || sed -n 's/^project(vkx VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
{
  sed -e '/<!-- SCRIPTS -->/,$d' -e "s/@VERSION@/${version:-}/" web/index.html
  echo '<script type="text/plain" id="worker-source">'
  sed 's#</script#<\\/script#g' "$out/web/vkx_web.js" web/worker.js
  echo '</script>'
  echo '<script>'
  cat web/page.js
  echo '</script>'
  sed -e '1,/<!-- SCRIPTS -->/d' web/index.html
} >"$out/index.html"
echo "build-web.sh: $out/index.html ($(stat -c %s "$out/index.html") bytes)"
