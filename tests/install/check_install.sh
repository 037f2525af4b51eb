#!/bin/sh
# Installs the build tree into a temporary prefix, then builds and runs
# consumers against it: two through find_package, the second with a table
# made from a catalogue by msgreport_add_catalogue, and one through
# pkg-config, which needs no LD_LIBRARY_PATH. Natively, msgreport is also
# embedded from its sources, by add_subdirectory and by FetchContent.
# Usage: check_install.sh BUILD_DIR SOURCE_DIR CXX [TOOLCHAIN_FILE RUNNER]
# A cross build names its toolchain file and the program that runs its
# executables (wine for Windows). The consumers are built with each CMake
# generator in MSGREPORT_CONSUMER_GENERATORS (separated by ","; Ninja when
# unset), since each lays out a build and its outputs' folders its own way.
set -eu
build=$1
source=$2
cxx=$3
toolchain=${4:-}
runner=${5:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

generators=${MSGREPORT_CONSUMER_GENERATORS:-Ninja}

run() {
  if [ -n "$runner" ]; then "$runner" "$@"; else "$@"; fi
}

# Runs the program NAME built in DIR, wherever the generator put it.
run_built() {
  program=$(find "$1" -name "$2$exe" -type f | head -n 1)
  [ -n "$program" ] || { echo "$1: no $2$exe was built" >&2; exit 1; }
  run "$program"
}

cmake --install "$build" --prefix "$prefix" >/dev/null
# Packagers and uninstalls go by the manifest: it lists every file.
find "$prefix" -type f -o -type l | sort >"$work/installed"
unlisted=$(sort "$build/install_manifest.txt" | comm -23 "$work/installed" -)
[ -z "$unlisted" ] || { echo "not in install_manifest.txt: $unlisted" >&2; exit 1; }

exe=
if [ -n "$toolchain" ]; then
  # Windows finds msgreport.dll beside the programs or on WINEPATH; the
  # consumers link the compiler's C++ and thread runtimes as DLLs.
  cxx_runtime=$(dirname "$("$cxx" -print-file-name=libstdc++-6.dll)")
  thread_runtime=$(dirname "$("$cxx" -print-file-name=libwinpthread-1.dll)")
  export WINEPATH="$prefix/bin;$cxx_runtime;$thread_runtime"
  exe=.exe
fi
run "$prefix/bin/msgcheck$exe" --version

IFS=,
for generator in $generators; do
  unset IFS
  fp="$work/fp-$(echo "$generator" | tr ' ' -)"
  if [ -n "$toolchain" ]; then
    # The toolchain searches its own root; the prefix joins it there.
    cmake -S "$source/find_package" -B "$fp" -G "$generator" \
      -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_FIND_ROOT_PATH="$prefix" \
      >/dev/null
  else
    cmake -S "$source/find_package" -B "$fp" -G "$generator" \
      -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
  fi
  cmake --build "$fp" --config Release >/dev/null
  run_built "$fp" consumer
  run_built "$fp" checked_consumer
done
unset IFS

pcdir=$(dirname "$(find "$prefix" -name 'msgreport.pc' | head -n 1)")
# Only the installed package, never the host's own .pc files.
export PKG_CONFIG_LIBDIR="$pcdir"
libdir=$(pkg-config --variable=libdir msgreport)
case "$libdir" in
  */../*|*/./*|*//*) echo "msgreport.pc: unclean library path $libdir" >&2; exit 1 ;;
esac
rpath=
[ -n "$toolchain" ] || rpath="-Wl,-rpath,$libdir"
# msgreport.h asks for no more than C++11.
# shellcheck disable=SC2046,SC2086 # the flags are meant to split
"$cxx" -std=c++11 -o "$work/pc-consumer$exe" "$source/consumer.cc" \
  $(pkg-config --cflags --libs msgreport) $rpath
run "$work/pc-consumer$exe"

[ -z "$toolchain" ] || exit 0
IFS=,
for generator in $generators; do
  unset IFS
  for embed in add_subdirectory FetchContent; do
    dir="$work/$embed-$(echo "$generator" | tr ' ' -)"
    cmake -S "$source/subproject" -B "$dir" -G "$generator" \
      -DCMAKE_CXX_COMPILER="$cxx" -DEMBED_BY="$embed" \
      -DSOURCE_OF_MSGREPORT="$source/../.." >/dev/null
    cmake --build "$dir" --config Release >/dev/null
    run_built "$dir" demo
    run_built "$dir" checked_demo
    tests=$(ctest --test-dir "$dir" -C Release -N | sed -n 's/^Total Tests: //p')
    if [ "$tests" != 1 ]; then
      echo "$embed: the parent has $tests tests, not its own 1" >&2
      exit 1
    fi
    if grep -E '^(MSGREPORT_|BUILD_GMOCK|INSTALL_GTEST|gtest_)' \
        "$dir/CMakeCache.txt"; then
      echo "$embed: msgreport wrote into the parent's cache" >&2
      exit 1
    fi
  done
done
unset IFS
