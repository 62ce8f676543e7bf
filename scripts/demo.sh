#!/usr/bin/env bash
# Installs what is needed, builds, and converts a generated song with kelvra-convert.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
work=build/demo
rm -rf "$work" && mkdir -p "$work/out"
ffmpeg -v error -y -f lavfi -i "sine=frequency=440:duration=8" -f lavfi -i "sine=frequency=660:duration=8" \
  -filter_complex amerge=inputs=2 -ac 2 -metadata title="Demo Song" -metadata artist="Kelvra" "$work/Demo Song.wav"
for f in mp3 ogg wav mp2; do
  build/cli/kelvra-convert --format "$f" -o "$work/out" "$work/Demo Song.wav"
done
build/cli/kelvra-convert --info "$work/out/Demo Song.mp3"
