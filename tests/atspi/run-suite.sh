#!/bin/sh
# The AT-SPI suite on a private session bus and X server.
# usage: run-suite.sh VELMARITH — exits 77 (skipped) when what it needs is not installed.
set -u
here=$(dirname "$0")
for program in Xvfb dbus-run-session /usr/libexec/at-spi-bus-launcher; do
  command -v "$program" >/dev/null 2>&1 || { echo "skipped: $program is not installed"; exit 77; }
done
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "skipped: python3-pyatspi is not installed"; exit 77; }
VELMARITH_COMMAND=$1 PYTHONDONTWRITEBYTECODE=1 exec dbus-run-session -- \
  /usr/bin/python3 -m pytest -q -p no:cacheprovider -W ignore::DeprecationWarning "$here"
