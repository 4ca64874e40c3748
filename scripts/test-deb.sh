#!/bin/sh
# The Debian package as cpack makes it from the build folder BUILD: the
# program, its help file, the manual page and the bash completion, the
# shared libraries it needs declared, and the version of the VERSION file
# in the package, its manual page and the packaged program's --version.
# Skipped (77) without cpack or dpkg-deb.
build=$1
source=$(cd "$(dirname "$0")/.." && pwd)
for tool in cpack dpkg-deb; do
  command -v $tool >/dev/null 2>&1 || { echo "no $tool: skipped"; exit 77; }
done
out=$(mktemp -d) || exit 1
trap 'rm -rf "$out"' EXIT
(cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || { cat "$out/cpack.log"; exit 1; }
deb=$(ls "$out"/*.deb) || exit 1
version=$(cat "$source/VERSION")
fail=0
check() {  # what, found
  [ -n "$2" ] || { echo "missing: $1"; fail=1; }
}
listing=$(dpkg-deb -c "$deb")
for path in usr/bin/vkx usr/share/vkx/vkx.hlp usr/share/man/man1/vkx.1.gz \
  usr/share/bash-completion/completions/vkx; do
  check "$path" "$(echo "$listing" | grep " \./$path\$")"
done
check "Version $version" "$(dpkg-deb -f "$deb" Version | grep -x "$version")"
for lib in libgmp10 libstdc++6; do
  check "Depends $lib" "$(dpkg-deb -f "$deb" Depends | tr ',' '\n' | grep "^ *$lib\b")"
done
dpkg-deb -x "$deb" "$out/root"
check "vkx(1) of $version" "$(gzip -dc "$out/root/usr/share/man/man1/vkx.1.gz" | head -1 | grep "\"vkx $version\"")"
check "vkx --version $version" "$("$out/root/usr/bin/vkx" --version | grep "^vkx $version ")"
exit $fail
