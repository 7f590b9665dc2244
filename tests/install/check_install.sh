#!/bin/sh
# Installs a built tree into a scratch prefix, moves the prefix elsewhere, and builds and runs
# the consumer program against the moved tree (check_consumers.sh): an installed MoxImage2
# works wherever it is put.
#
# usage: check_install.sh <build-dir> <scratch-dir>
set -eu

if [ $# -ne 2 ]; then
    echo "usage: $0 <build-dir> <scratch-dir>" >&2
    exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
mkdir -p "$2"
scratch=$(cd "$2" && pwd)
rm -rf "$scratch/prefix" "$scratch/moved"

cmake --build "$build" --target MoxImage2 MoxPlatform MoxPlatformMain
cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
mv "$scratch/prefix" "$scratch/moved"
sh "$here/check_consumers.sh" "$scratch/moved" "$scratch"
echo "check_install: ok"
