#!/usr/bin/env bash
# Compares what a built libVelmarith.so exports with the checked-in list, so an accidental
# export (an internal class, a template instantiation) or a lost one fails the build's tests.
#   check-exports.sh LIBRARY LIST          compare
#   check-exports.sh LIBRARY LIST --write  write the list anew after a deliberate API change
set -euo pipefail
library=$1 list=$2
exports() { nm -D --defined-only -C -j "$library" | LC_ALL=C sort -u; }
if [ "${3:-}" = "--write" ]; then
  exports > "$list"
  exit 0
fi
# Only the library's namespace and C entry points, never a template of std or Qt.
foreign=$(grep -Ev '^((typeinfo (name )?for |vtable for )?velmarith::|[A-Za-z_][A-Za-z0-9_]*$)' "$list" || true)
if [ -n "$foreign" ]; then
  echo "$list holds exports outside the public API:"
  echo "$foreign"
  exit 1
fi
if ! diff -u "$list" <(exports); then
  echo "The exports differ from $list (lines with + are new, - are gone)."
  echo "After a deliberate change to the public API: $0 $library $list --write"
  exit 1
fi
