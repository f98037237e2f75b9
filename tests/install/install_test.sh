#!/usr/bin/env bash
# Installs the build into a temporary prefix, moves the installed tree
# elsewhere, and builds and runs C, C++ and Fortran callers against it with
# find_package and with pkg-config; the installed tool must find its data
# files in the moved tree and the docs must be there.
#
#   install_test.sh BUILD-DIR SOURCE-DIR
set -euo pipefail
build=$(cd "$1" && pwd) src=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$work/first" >/dev/null
mv "$work/first" "$work/moved"
prefix=$work/moved
summary=$work/run/flowsheet.sum
mkdir -p "$work/run" && cp "$src/examples/flowsheet.sum" "$summary"

# The installed tool, with no data files beside the summary file.
out=$(env -u FLOWSUM_DATA_DIR "$prefix/bin/flowsum" --verbose "$summary")
grep -qx "reference files: $prefix/share/flowsum" <<<"$out" || fail "tool data folder: $(head -3 <<<"$out")"
[ -f "$prefix/share/doc/flowsum/README.md" ] || fail "docs not installed"

data=$prefix/share/flowsum
check() {  # check PROGRAM: it loads the example with the installed data files
  "$@" "$summary" "$data" >"$work/check.out" 2>&1 || true
  grep -q "load status 0" "$work/check.out" || fail "$* does not load the example: $(cat "$work/check.out")"
}

# find_package
cmake -S "$src/tests/install" -B "$work/cmake" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCALLERS_DIR="$src/examples/callers" >/dev/null
cmake --build "$work/cmake" >/dev/null
for p in consumer_c consumer_cpp consumer_f90 consumer_cpp_static; do check "$work/cmake/$p"; done

# pkg-config: shared, and the static library with Libs.private
export PKG_CONFIG_PATH=$(dirname "$(find "$prefix" -name flowsum.pc)")
cflags=$(pkg-config --cflags flowsum) libs=$(pkg-config --libs flowsum)
libdir=$(pkg-config --variable=libdir flowsum)
[ "$(pkg-config --variable=datadir flowsum)" -ef "$data" ] || fail "pkg-config datadir"
static=$(pkg-config --static --libs flowsum)
static=${static/-lflowsum/$libdir/libflowsum.a}
mkdir -p "$work/pc" && cd "$work/pc"
cc "$src/examples/callers/load_summary.c" $cflags $libs -Wl,-rpath,"$libdir" -o c_shared
c++ -std=c++20 "$src/examples/callers/load_summary.cpp" $cflags $libs -Wl,-rpath,"$libdir" -o cpp_shared
gfortran "$(pkg-config --variable=includedir flowsum)/flowsum.f90" "$src/examples/callers/load_summary.f90" \
  $libs -Wl,-rpath,"$libdir" -o f90_shared
cc "$src/examples/callers/load_summary.c" $cflags $static -o c_static
for p in c_shared cpp_shared f90_shared c_static; do check "./$p"; done
echo "install test passed"
