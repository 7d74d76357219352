#!/usr/bin/env bash
# Checks report pages: each must be well-formed XML (xmllint), parse as HTML without a single
# parse error (html5lib, strict), and pass the HTML checker without a warning (tidy).
# Usage: check_markup.sh FILE...   or   check_markup.sh --generate PROGRAM FOLDER
# Exits 77 (skipped) with the reason when a checker is missing.
set -euo pipefail
if [ "${1:-}" = "--generate" ]; then
  program="$2" folder="$3"
  rm -rf "$folder"
  mkdir -p "$folder"
  "$program" "$folder"
  set -- "$folder"/*.html
fi
if [ "$#" -eq 0 ]; then
  echo "check_markup.sh: no file to check" >&2
  exit 1
fi
python=/usr/bin/python3
for tool in xmllint tidy "$python"; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: $tool is not installed (tools/install-deps installs it)"
    exit 77
  fi
done
if ! "$python" -c 'import html5lib' 2>/dev/null; then
  echo "SKIPPED: python3-html5lib is not installed (tools/install-deps installs it)"
  exit 77
fi
status=0
for file in "$@"; do
  if ! xmllint --noout --nonet "$file"; then
    echo "not well-formed XML: $file" >&2
    status=1
  fi
  if ! "$python" - "$file" <<'PY'
import sys, html5lib
parser = html5lib.HTMLParser(strict=False)
with open(sys.argv[1], "rb") as f:
    parser.parse(f)
for position, code, data in parser.errors:
    print(f"{sys.argv[1]}:{position[0]}:{position[1]}: HTML parse error: {code} {data}")
sys.exit(1 if parser.errors else 0)
PY
  then
    status=1
  fi
  if ! tidy -q -e "$file"; then
    echo "HTML checker found faults: $file" >&2
    status=1
  fi
done
[ "$status" -eq 0 ] && echo "checked $# file(s): well-formed XML, HTML without parse errors or warnings"
exit "$status"
