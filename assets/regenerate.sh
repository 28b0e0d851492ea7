#!/usr/bin/env bash
# Redraws every picture of assets/data, recomposes the default tune and
# encodes it as WMA. The results are committed; run this only after changing
# the programs that make them.
#
#   assets/regenerate.sh [BUILD_DIR]      (default: build-assets)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-assets}

"$root/scripts/install-deps" --assets
if [ -f "$build/CMakeCache.txt" ]; then
  cmake "$build" >/dev/null
else
  cmake -S "$root" -B "$build" -G Ninja -DTAMSEL_BUILD_BENCH=OFF >/dev/null
fi
cmake --build "$build" --target tamsel-make-art tamsel-make-tune

"$build/assets/tamsel-make-art" "$root/assets"

wav=$(mktemp --suffix=.wav)
trap 'rm -f "$wav"' EXIT
"$build/assets/tamsel-make-tune" "$wav"
ffmpeg -hide_banner -loglevel error -y -i "$wav" -c:a wmav2 -b:a 96k \
  -metadata title="开始曲" -metadata artist="澄影集" "$root/assets/data/开始曲.wma"
echo "regenerate: done; look at the result with: $build/assets/tamsel-make-art --preview /tmp/tamsel-preview"
