#!/usr/bin/env bash
# Renders report pages in headless Chromium. Each page must render without a single console
# message (the pages hold no script and forbid every outside resource by their content security
# policy, so any console line is a fault) and give a screenshot that is not blank.
# Usage: browser_check.sh FOLDER FILE...   (screenshots go to FOLDER/<name>.png)
# Exits 77 (skipped) with the reason when Chromium is missing or cannot start.
set -euo pipefail
folder="$1"
shift
browser="${CHROMIUM:-chromium}"
python=/usr/bin/python3
if ! command -v "$browser" >/dev/null; then
  echo "SKIPPED: $browser is not installed (tools/install-browser installs it)"
  exit 77
fi
if ! command -v "$python" >/dev/null; then
  echo "SKIPPED: $python is not installed"
  exit 77
fi
mkdir -p "$folder"
profile="$(mktemp -d)"
trap 'rm -rf "$profile"' EXIT

# render URL PNG LOG: one headless run with a fresh profile, at most 90 s.
render() {
  rm -rf "$profile"/*
  timeout 90 "$browser" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$profile" --hide-scrollbars --window-size=1000,1400 \
    --enable-logging=stderr --v=0 --screenshot="$2" "$1" >"$3" 2>&1
}

if ! render "about:blank" "$folder/blank.png" "$folder/blank.log" || [ ! -s "$folder/blank.png" ]; then
  echo "SKIPPED: $browser does not start here:"
  tail -n 5 "$folder/blank.log"
  exit 77
fi

status=0
for file in "$@"; do
  name="$(basename "$file" .html)"
  png="$folder/$name.png"
  log="$folder/$name.log"
  rm -f "$png"
  if ! render "file://$(realpath "$file")" "$png" "$log" || [ ! -s "$png" ]; then
    echo "$file: no screenshot" >&2
    tail -n 20 "$log" >&2
    status=1
    continue
  fi
  if grep -q ':CONSOLE' "$log"; then
    echo "$file: console messages:" >&2
    grep ':CONSOLE' "$log" >&2
    status=1
  fi
  # Not blank: more than one colour, and at least 2 % of the pixels unlike the background.
  if ! "$python" - "$png" <<'PY'
import struct, sys, zlib
data = open(sys.argv[1], "rb").read()
assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
pos, idat, header = 8, b"", None
while pos < len(data):
    length, kind = struct.unpack(">I4s", data[pos:pos + 8])
    body = data[pos + 8:pos + 8 + length]
    if kind == b"IHDR":
        header = struct.unpack(">IIBBBBB", body)
    elif kind == b"IDAT":
        idat += body
    pos += 12 + length
width, height, depth, colour, _, _, interlace = header
assert depth == 8 and interlace == 0 and colour in (2, 6), f"PNG kind {header} not read here"
bpp = 3 if colour == 2 else 4
raw = zlib.decompress(idat)
stride = width * bpp
rows, previous, at = [], bytearray(stride), 0
for _ in range(height):
    kind, line = raw[at], bytearray(raw[at + 1:at + 1 + stride])
    at += 1 + stride
    for i in range(stride):
        a = line[i - bpp] if i >= bpp else 0
        b = previous[i]
        c = previous[i - bpp] if i >= bpp else 0
        if kind == 1:
            line[i] = (line[i] + a) & 255
        elif kind == 2:
            line[i] = (line[i] + b) & 255
        elif kind == 3:
            line[i] = (line[i] + (a + b) // 2) & 255
        elif kind == 4:
            p = a + b - c
            pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
            line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
    rows.append(bytes(line))
    previous = line
counts = {}
for line in rows:
    for i in range(0, stride, bpp):
        pixel = line[i:i + 3]
        counts[pixel] = counts.get(pixel, 0) + 1
total = width * height
background = max(counts.values())
share = 1 - background / total
print(f"{sys.argv[1]}: {width}x{height}, {len(counts)} colours, {share:.1%} unlike the background")
sys.exit(0 if len(counts) > 1 and share >= 0.02 else 1)
PY
  then
    echo "$file: the screenshot is blank" >&2
    status=1
  fi
done
[ "$status" -eq 0 ] && echo "rendered $# page(s) in $("$browser" --version 2>/dev/null | head -n 1): no console message, no blank screenshot"
exit "$status"
