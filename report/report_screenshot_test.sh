#!/usr/bin/env bash
# Renders the contest report of the bundled sample in headless Chromium and
# checks the picture: the window's size, and more than a blank page.
# Usage: report_screenshot_test.sh VELMORA_REPLAY SAMPLE_LOG OUT_DIR
set -euo pipefail
replay=$1 log=$2 out=$3
width=900 height=2400

if ! command -v chromium >/dev/null; then
  echo "FAIL: chromium is missing (bash scripts/install-deps.sh browser installs it)" >&2
  exit 1
fi
for tool in identify convert; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool (imagemagick) is missing" >&2; exit 1; }
done

mkdir -p "$out"
rm -f "$out/report.png"
"$replay" "$log" --dir "$out/work" --report "$out/report.html" >/dev/null

# A profile of its own, no network and no first-run pages: the same picture
# every time.
flags=(--headless --disable-gpu --hide-scrollbars --no-first-run --no-default-browser-check
       --disable-extensions --disable-background-networking --proxy-server=127.0.0.1:9
       --user-data-dir="$out/chromium-profile" --force-device-scale-factor=1
       --window-size=$width,$height --screenshot="$out/report.png")
[ "$(id -u)" = 0 ] && flags+=(--no-sandbox)
timeout 90 chromium "${flags[@]}" "file://$out/report.html" >"$out/chromium.log" 2>&1 || {
  echo "FAIL: chromium did not render the report; see $out/chromium.log" >&2
  exit 1
}
[ -s "$out/report.png" ] || { echo "FAIL: no screenshot written" >&2; exit 1; }

size=$(identify -format '%wx%h' "$out/report.png")
[ "$size" = "${width}x${height}" ] || { echo "FAIL: picture is $size, not ${width}x${height}" >&2; exit 1; }
# A blank page has one colour; text, tables and the patterned charts have
# hundreds.
colours=$(convert "$out/report.png" -format '%k' info:)
[ "$colours" -ge 64 ] || { echo "FAIL: picture looks blank ($colours colours)" >&2; exit 1; }
# Not mostly white either: the charts and tables cover a good part of it.
ink=$(convert "$out/report.png" -colorspace Gray -threshold 90% -negate -format '%[fx:mean]' info:)
awk -v ink="$ink" 'BEGIN { exit !(ink > 0.02) }' || { echo "FAIL: too little drawn ($ink)" >&2; exit 1; }
echo "ok: $out/report.png ${size}, $colours colours, ink $ink"
