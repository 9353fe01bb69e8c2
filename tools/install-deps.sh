#!/usr/bin/env bash
# Installs the Debian packages the build needs, and only those that are missing,
# so a machine that already has them is not slowed down.
set -euo pipefail

packages=(cmake ninja-build g++ make qt6-base-dev libsqlite3-dev libgtest-dev libgmock-dev
          libbenchmark-dev libqt6sql6-sqlite python3 libpq-dev postgresql xvfb xauth xdotool python3-pytest fonts-noto-cjk
          dbus-daemon at-spi2-core python3-pyatspi gir1.2-atspi-2.0 qt6-translations-l10n clang-14 libclang-rt-14-dev
          unicode-data libmariadb-dev mariadb-server-core mariadb-client-core man-db
          unixodbc-dev odbc-postgresql odbc-mariadb libsqliteodbc pgbouncer zlib1g-dev python3-openpyxl poppler-utils python3-mypy
          python3-venv python3-pip python3-setuptools python3-wheel)

# With the argument "packaging", what checking the Debian packages needs as well.
[ "${1:-}" = "packaging" ] && packages+=(lintian dpkg-dev abigail-tools)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
