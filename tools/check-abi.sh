#!/usr/bin/env bash
# Compares the built library's binary interface with the baseline kept in abi/: a change that
# breaks hosts built against the baseline (a class's size or layout, a removed or changed
# function) fails unless the SONAME changed with it; additions are reported and pass.
#   check-abi.sh LIBRARY SOURCE_DIR BUILD_DIR [--write]
set -euo pipefail
library=$1 source=$2 build=$3
baseline=$source/abi/libVelmarith.abi

# The public headers' types only, and only what the library exports.
dump() {
  abidw --headers-dir "$source/include/velmarith" --headers-dir "$build/include/velmarith" \
        --drop-private-types --drop-undefined-syms --exported-interfaces-only \
        --no-corpus-path --no-show-locs --type-id-style hash --out-file "$1" "$library"
}

if [ "${4:-}" = "--write" ]; then
  dump "$baseline"
  echo "wrote $baseline"
  exit 0
fi

current=$(mktemp)
trap 'rm -f "$current"' EXIT
dump "$current"
status=0
abidiff "$baseline" "$current" > "$current.report" || status=$?
cat "$current.report"
# abidiff's status is a bit set: 1 error, 2 usage, 4 a change, 8 an incompatible change. It
# counts a class grown by a member as a change only, so the summaries tell: anything removed or
# changed breaks a host built against the baseline; only additions do not.
if (( status & 3 )); then
  rm -f "$current.report"
  echo "abidiff could not compare the library with $baseline"; exit 1
fi
breaking=$(grep -E 'summary: [1-9][0-9]* Removed|, [1-9][0-9]* Changed' "$current.report" || true)
rm -f "$current.report"
soname() { sed -n "s/.*soname='\([^']*\)'.*/\1/p" "$1" | head -1; }
if (( status & 8 )) || [ -n "$breaking" ]; then
  if [ "$(soname "$baseline")" != "$(soname "$current")" ]; then
    echo "incompatible with the baseline, under a new SONAME $(soname "$current"): take a new baseline with --write"
    exit 0
  fi
  echo "the change breaks hosts built against $(soname "$baseline"); keep the layout (add state behind d), or change the SONAME"
  exit 1
fi
if (( status & 4 )); then
  echo "compatible additions to the interface; take them into the baseline with --write once released"
fi
echo "ABI ok"
