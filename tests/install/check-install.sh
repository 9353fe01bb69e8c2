#!/usr/bin/env bash
# Installs the build to a prefix, moves the prefix, and builds and runs the README's consumers
# against the moved tree: CMake, pkg-config, C and Python; then configures a host that includes
# the clone with add_subdirectory and checks that its ctest lists only its own test.
#   check-install.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source=$1 build=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen PYTHONDONTWRITEBYTECODE=1

cmake --install "$build" --prefix "$work/first" > "$work/install.log"
mv "$work/first" "$work/moved"
prefix=$work/moved
libdir=$(dirname "$(find "$prefix" -name 'libVelmarith.so.1' | head -1)")
if grep -rq "$work/first" "$prefix"; then
  echo "the installed tree names the prefix it was installed to:"; grep -rl "$work/first" "$prefix"; exit 1
fi

echo "== CMake"
cmake -S "$source/examples/cmake" -B "$work/cmake" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" > "$work/cmake.log"
cmake --build "$work/cmake" > "$work/cmake-build.log"
test "$("$work/cmake/ask_name")" = "张三"

echo "== pkg-config"
(cd "$work" && PKG_CONFIG_PATH="$libdir/pkgconfig" LDFLAGS= "$source/examples/pkgconfig/build.sh")
test "$(LD_LIBRARY_PATH="$libdir" "$work/ask_name")" = "张三"

echo "== C"
cc -std=c11 -pedantic-errors -o "$work/c_host" "$source/examples/c/main.c" -I"$prefix/include" -L"$libdir" -lVelmarith
LD_LIBRARY_PATH="$libdir" "$work/c_host"

echo "== Python"
packages=$(dirname "$(find "$prefix" -type d -name velmarith -path '*python*' | head -1)")
PYTHONPATH=$packages /usr/bin/python3 "$source/examples/python/ask_name.py"
# A new host's own suite, with pytest, against the moved tree.
(cd "$work" && PYTHONPATH=$packages VELMARITH_COMMAND=$prefix/bin/velmarith \
   /usr/bin/python3 -m pytest -q -p no:cacheprovider "$source/tests/python/test_a_new_host.py" > "$work/pytest.log") ||
  { cat "$work/pytest.log"; exit 1; }

echo "== the command"
"$prefix/bin/velmarith" --version

echo "== add_subdirectory"
cmake -S "$source/examples/subdirectory" -B "$work/host" -G Ninja -DVELMARITH_SOURCE_DIR="$source" > "$work/host.log"
listed=$(cd "$work/host" && ctest -N | sed -n 's/^ *Test *#[0-9]*: //p')
test "$listed" = "ask_name" || { echo "the host's ctest lists: $listed"; exit 1; }
echo "ok"
