#!/usr/bin/env bash
# The package as pip installs it into virtual environments: from a copy of the source tree (in
# an environment that sees the system's setuptools, which builds it), and as a wheel built from
# it into a fresh environment of each Python 3 on the machine. Each run in the environment's
# own interpreter finds the library through $VELMARITH_LIBRARY, then through the system's
# loader (LD_LIBRARY_PATH here), answers a scripted input box and gives the library's version.
#   check-venv.sh SOURCE_DIR LIBRARY_DIR VERSION
set -euo pipefail
source=$1 library=$2 version=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen PYTHONDONTWRITEBYTECODE=1 PIP_DISABLE_PIP_VERSION_CHECK=1
# pip builds in place, so it builds in a copy, and never in the tree.
cp -r "$source/python" "$work/package"
rm -f "$work/package/CMakeLists.txt" "$work/package/velmarith/_location.py.in"
host='import velmarith, velmarith.testing
assert velmarith.__version__ == "'"$version"'", velmarith.__version__
with velmarith.testing.TestDesktop() as desk:
    desk.expect("frmInputAny", ["type txt内容 张三", "click cmd确定"])
    assert velmarith.WinInput().InputAny("请输入名称", "名称") == "张三"
print(velmarith.__file__)'
run_host() {
  (cd "$work" && VELMARITH_LIBRARY="$library/libVelmarith.so.1" "$1/bin/python" -c "$host" | grep -q "^$1/lib/")
  (cd "$work" && LD_LIBRARY_PATH="$library" "$1/bin/python" -c "$host" > /dev/null)
}

/usr/bin/python3 -m venv --system-site-packages "$work/from-source"
"$work/from-source/bin/pip" install --quiet --no-index --no-build-isolation "$work/package"
run_host "$work/from-source"
echo "from the source tree: ok"

/usr/bin/python3 -m pip wheel --quiet --no-index --no-build-isolation --no-deps -w "$work/wheels" "$work/package"
for python in $(printf '%s\n' /usr/bin/python3 "$(command -v python3)" | xargs -n1 readlink -f | sort -u); do
  environment="$work/wheel-$(basename "$python")-$RANDOM"
  "$python" -m venv "$environment"
  "$environment/bin/pip" install --quiet --no-index "$work"/wheels/velmarith-*.whl
  run_host "$environment"
  echo "a wheel in a fresh environment of $python: ok"
done
