#!/usr/bin/env bash
# Regenerates the pinyin table from the Unicode Han database and fails when the committed one
# differs, so the table is never edited by hand nor left behind by a change of the generator.
#   check-pinyin-table.sh SOURCE_DIR
set -euo pipefail
source_dir=$1
unihan=/usr/share/unicode/Unihan_Readings.txt.bz2
if [ ! -r "$unihan" ]; then
  echo "$unihan is missing (Debian package unicode-data); not checked"
  exit 77
fi
diff -u "$source_dir/src/search/PinyinTable.cpp" \
        <(python3 "$source_dir/tools/generate-pinyin-table.py" "$unihan")
