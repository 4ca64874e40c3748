#!/bin/sh
# The one version of the program and its Python and R packages: the
# checkout's VERSION file, where it has one.
cd "$(dirname "$0")/.." || exit 1
if [ -f VERSION ]; then tr -d ' \n' <VERSION; else printf 2.0.0; fi
echo
