#!/bin/sh
# Installs the build tree into a temporary prefix, then builds and runs two
# consumers against it: one through find_package, one through pkg-config.
# Usage: check_install.sh BUILD_DIR SOURCE_DIR CXX
set -eu
build=$1
source=$2
cxx=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

cmake --install "$build" --prefix "$prefix" >/dev/null
test -x "$prefix/bin/msgcheck"
"$prefix/bin/msgcheck" --version

libdir=$(dirname "$(find "$prefix" -name 'libmsgreport.so' | head -n 1)")
export LD_LIBRARY_PATH="$libdir"

cmake -S "$source/find_package" -B "$work/fp" -G Ninja \
  -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/fp" >/dev/null
"$work/fp/consumer"

export PKG_CONFIG_PATH="$libdir/pkgconfig"
# shellcheck disable=SC2046 # the flags are meant to split
"$cxx" -std=c++17 -o "$work/pc-consumer" "$source/consumer.cc" \
  $(pkg-config --cflags --libs msgreport)
"$work/pc-consumer"
