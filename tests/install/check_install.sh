#!/bin/sh
# Installs a built tree into a scratch prefix, then builds and runs a consumer program against it
# twice: through find_package(MoxImage2) and through pkg-config's moximage2.
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
prefix="$scratch/prefix"
rm -rf "$prefix" "$scratch/consumer-build" "$scratch/consumer-pkgconfig"

cmake --build "$build" --target MoxImage2 MoxPlatform MoxPlatformMain
cmake --install "$build" --prefix "$prefix" >/dev/null

library=$(find "$prefix" -name 'libMoxImage2.so' | head -n 1)
if [ -z "$library" ]; then
    echo "check_install: libMoxImage2.so was not installed under $prefix" >&2
    exit 1
fi
libdir=$(dirname "$library")
# The installed libraries carry no run path; the consumers find them here.
LD_LIBRARY_PATH="$libdir${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
export LD_LIBRARY_PATH

# 1. CMake package.
generator=""
if command -v ninja >/dev/null 2>&1; then
    generator="-GNinja"
fi
cmake -S "$here/consumer" -B "$scratch/consumer-build" $generator -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$scratch/consumer-build"
"$scratch/consumer-build/consumer"

# 2. pkg-config. The .pc file names the prefix chosen at configure time, so it is pointed at
# the scratch prefix explicitly.
PKG_CONFIG_PATH="$libdir/pkgconfig"
export PKG_CONFIG_PATH
flags=$(pkg-config --define-variable=prefix="$prefix" --cflags --libs moximage2)
echo "pkg-config moximage2: $flags"
${CXX:-c++} -std=c++17 -o "$scratch/consumer-pkgconfig" "$here/consumer/main.cpp" $flags
"$scratch/consumer-pkgconfig"
echo "check_install: ok"
