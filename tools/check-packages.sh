#!/usr/bin/env bash
# The Debian packages as a host machine meets them: lintian reports no error, apt-get installs
# them, the README's CMake consumer builds against /usr and runs, Python imports the package and
# answers a dialog, and a purge after an import as root leaves no file behind; the packages are
# purged afterwards also when a step fails. Needs root.
#   check-packages.sh PACKAGES_DIR SOURCE_DIR
set -euo pipefail
packages=$(cd "$1" && pwd) source=$2
names=(libvelmarith1 libvelmarith-dev velmarith python3-velmarith)
work=$(mktemp -d)
purge() {
  DEBIAN_FRONTEND=noninteractive apt-get purge -y "${names[@]}" > /dev/null 2>&1 || true
  rm -rf "$work"
}
trap purge EXIT
export QT_QPA_PLATFORM=offscreen PYTHONDONTWRITEBYTECODE=1

echo "== lintian"
lintian --tag-display-limit 0 "$packages"/*.deb 2>&1 | grep -v 'running with root privileges' | tee "$work/lintian.log"
if grep -q '^E:' "$work/lintian.log"; then
  echo "lintian found errors"; exit 1
fi

echo "== the library's exports against its symbols file"
runtime=$(ls "$packages"/libvelmarith1_*.deb)
dpkg-deb -x "$runtime" "$work/runtime"
dpkg-deb -e "$runtime" "$work/runtime/DEBIAN"
(cd "$work" && dpkg-gensymbols -c4 -plibvelmarith1 -v"$(dpkg-deb -f "$runtime" Version)" \
   -e"$(ls "$work"/runtime/usr/lib/*/libVelmarith.so.1.*)" -I"$work/runtime/DEBIAN/symbols" -O/dev/null)

echo "== the development package needs no database client's headers"
if dpkg-deb -f "$packages"/libvelmarith-dev_*.deb Depends | grep -E 'libpq-dev|libmariadb-dev|unixodbc-dev|libsqlite3-dev'; then
  echo "libvelmarith-dev depends on a client library's development package"; exit 1
fi

# What the packages would leave after a purge: each of their paths that was not there before.
for deb in "$packages"/*.deb; do
  dpkg-deb --fsys-tarfile "$deb" | tar -t | sed 's|^\.||; s|/$||' | grep -v '^$'
done | sort -u | while read -r path; do
  [ -e "$path" ] || echo "$path"
done > "$work/new-paths"

echo "== documentation in the packages"
for wanted in "velmarith ./usr/share/man/man1/velmarith.1.gz" "libvelmarith-dev ./usr/share/doc/libvelmarith-dev/README.md.gz" \
              "libvelmarith-dev ./usr/share/doc/libvelmarith-dev/examples/metadata/suppliers.sql"; do
  read -r package path <<< "$wanted"
  dpkg-deb --fsys-tarfile "$packages/${package}_"*.deb | tar -t | grep -x "$path" > /dev/null || { echo "$package lacks $path"; exit 1; }
done

echo "== apt-get install"
DEBIAN_FRONTEND=noninteractive apt-get install -y "$packages"/*.deb > "$work/apt.log" 2>&1 || { cat "$work/apt.log"; exit 1; }

echo "== pkg-config with Qt's modules alone"
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
mkdir "$work/pkgconfig"
ln -s /usr/lib/"$multiarch"/pkgconfig/velmarith.pc /usr/lib/"$multiarch"/pkgconfig/Qt6*.pc "$work/pkgconfig/"
PKG_CONFIG_LIBDIR="$work/pkgconfig" pkg-config --cflags --libs velmarith > /dev/null

echo "== a CMake consumer against /usr"
cmake -S "$source/examples/cmake" -B "$work/cmake" -G Ninja > "$work/cmake.log"
cmake --build "$work/cmake" > "$work/cmake-build.log"
test "$("$work/cmake/ask_name")" = "张三"

echo "== Python"
(cd "$work" && /usr/bin/python3 -c "import velmarith; print(velmarith.__file__)")
(cd "$work" && /usr/bin/python3 "$source/examples/python/ask_name.py")
velmarith --version
# A new host's own suite, with pytest, in a fresh virtual environment over the installed packages.
/usr/bin/python3 -m venv --system-site-packages "$work/venv"
(cd "$work" && VELMARITH_COMMAND=/usr/bin/velmarith "$work/venv/bin/python" -m pytest -q -p no:cacheprovider \
   "$source/tests/python/test_a_new_host.py" > "$work/pytest.log") || { cat "$work/pytest.log"; exit 1; }
man velmarith > "$work/man.txt" 2> /dev/null && grep -q 'velmarith init' "$work/man.txt" || { echo "man velmarith shows no page"; exit 1; }

echo "== purge after an import as root, which writes byte code"
(cd "$work" && env -u PYTHONDONTWRITEBYTECODE /usr/bin/python3 -c "import velmarith, velmarith.testing")
DEBIAN_FRONTEND=noninteractive apt-get purge -y "${names[@]}" > "$work/purge.log" 2>&1 || { cat "$work/purge.log"; exit 1; }
left=$(while read -r path; do [ -e "$path" ] && echo "$path"; done < "$work/new-paths" || true)
if [ -n "$left" ]; then
  echo "the purge left files behind:"; echo "$left"; exit 1
fi
echo "ok"
