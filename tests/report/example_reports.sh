#!/usr/bin/env bash
# Writes the conversion report of each shipped example (a batch run in a folder holding copies
# of examples/, date fixed by SOURCE_DATE_EPOCH) and compares it with its golden page as text.
# Usage: example_reports.sh QEL2BR EXAMPLES_DIR GOLDEN_DIR OUT_DIR
# The reports stay in OUT_DIR for the markup and browser checks. With UPDATE_GOLDEN=1 the
# golden pages are rewritten from this run instead (read them before committing).
set -euo pipefail
qel2br="$1" examples="$2" golden="$3" out="$4"
rm -rf "$out"
mkdir -p "$out/work"
find "$examples" -maxdepth 1 -type f -exec cp {} "$out/work/" \;
cd "$out/work"
export SOURCE_DATE_EPOCH=1767323045   # 2026-01-02 03:04:05 UTC

# name, then the arguments of the run
runs=(
  "platform|platform.inp out.txt --report platform.html"
  "platform_sets_elements|platform_sets.inp out_elements.txt --elements elements.txt --report platform_sets_elements.html"
  "platform_sets_groups|platform_sets.inp out_groups.txt --groups groups.txt --report platform_sets_groups.html"
  "deep_water_jacket|deep_water_jacket.inp out_jacket.txt --report deep_water_jacket.html"
  "mistakes|--check mistakes.inp --report mistakes.html"
)
status=0
for entry in "${runs[@]}"; do
  name="${entry%%|*}"
  read -r -a args <<<"${entry#*|}"
  if ! "$qel2br" "${args[@]}" >"$name.stdout" 2>"$name.stderr"; then
    echo "$name: qel2br ${args[*]} failed:" >&2
    cat "$name.stderr" >&2
    status=1
    continue
  fi
  mv "$name.html" "$out/$name.html"
  echo "$name.html: $(wc -c <"$out/$name.html") bytes"
  if [ "${UPDATE_GOLDEN:-0}" = 1 ]; then
    cp "$out/$name.html" "$golden/$name.html"
  elif ! diff -u "$golden/$name.html" "$out/$name.html"; then
    echo "$name: the report differs from $golden/$name.html" >&2
    status=1
  fi
done
exit "$status"
