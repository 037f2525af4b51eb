#!/bin/sh
# Installs the build tree into a temporary prefix, then builds and runs
# consumers against it: two through find_package, the second with a table
# made from a catalogue by msgreport_add_catalogue, and one through
# pkg-config, which needs no LD_LIBRARY_PATH. Natively, msgreport is also
# embedded from its sources, by add_subdirectory and by FetchContent.
# Usage: check_install.sh BUILD_DIR SOURCE_DIR CXX [TOOLCHAIN_FILE RUNNER]
# A cross build names its toolchain file and the program that runs its
# executables (wine for Windows).
set -eu
build=$1
source=$2
cxx=$3
toolchain=${4:-}
runner=${5:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

run() {
  if [ -n "$runner" ]; then "$runner" "$@"; else "$@"; fi
}

cmake --install "$build" --prefix "$prefix" >/dev/null

if [ -n "$toolchain" ]; then
  # Windows finds msgreport.dll beside the programs or on WINEPATH; the
  # consumers link the compiler's C++ and thread runtimes as DLLs.
  cxx_runtime=$(dirname "$("$cxx" -print-file-name=libstdc++-6.dll)")
  thread_runtime=$(dirname "$("$cxx" -print-file-name=libwinpthread-1.dll)")
  export WINEPATH="$prefix/bin;$cxx_runtime;$thread_runtime"
  # The toolchain searches its own root; the prefix joins it there.
  cmake -S "$source/find_package" -B "$work/fp" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_FIND_ROOT_PATH="$prefix" \
    >/dev/null
  exe=.exe
else
  cmake -S "$source/find_package" -B "$work/fp" -G Ninja \
    -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
  exe=
fi
run "$prefix/bin/msgcheck$exe" --version
cmake --build "$work/fp" >/dev/null
run "$work/fp/consumer$exe"
run "$work/fp/checked_consumer$exe"

pcdir=$(dirname "$(find "$prefix" -name 'msgreport.pc' | head -n 1)")
# Only the installed package, never the host's own .pc files.
export PKG_CONFIG_LIBDIR="$pcdir"
rpath=
[ -n "$toolchain" ] || rpath="-Wl,-rpath,$(pkg-config --variable=libdir msgreport)"
# shellcheck disable=SC2046,SC2086 # the flags are meant to split
"$cxx" -std=c++17 -o "$work/pc-consumer$exe" "$source/consumer.cc" \
  $(pkg-config --cflags --libs msgreport) $rpath
run "$work/pc-consumer$exe"

[ -z "$toolchain" ] || exit 0
for embed in add_subdirectory FetchContent; do
  cmake -S "$source/subproject" -B "$work/$embed" -G Ninja \
    -DCMAKE_CXX_COMPILER="$cxx" -DEMBED_BY="$embed" \
    -DMSGREPORT_SOURCE_DIR="$source/../.." >/dev/null
  cmake --build "$work/$embed" >/dev/null
  "$work/$embed/demo"
  "$work/$embed/checked_demo"
  tests=$(ctest --test-dir "$work/$embed" -N | sed -n 's/^Total Tests: //p')
  if [ "$tests" != 1 ]; then
    echo "$embed: the parent has $tests tests, not its own 1" >&2
    exit 1
  fi
  if grep -E '^(BUILD_GMOCK|INSTALL_GTEST|gtest_)' "$work/$embed/CMakeCache.txt"; then
    echo "$embed: msgreport wrote into the parent's cache" >&2
    exit 1
  fi
done
