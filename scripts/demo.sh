#!/usr/bin/env bash
# Installs what is needed, builds, makes two demo songs and starts Kelvra with them under Wine:
# on your display when DISPLAY is set, otherwise on a private Xvfb display, photographed into
# build/demo/kelvra.png. KELVRA_LANGUAGE=en starts the English interface (AppLan = 2).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
build=$(pwd)/build
work=$build/demo
rm -rf "$work" && mkdir -p "$work/out"
ffmpeg -v error -y -f lavfi -i "sine=frequency=440:duration=8" -f lavfi -i "sine=frequency=660:duration=8" \
  -filter_complex amerge=inputs=2 -ac 2 -metadata title="Demo Song" -metadata artist="Kelvra" "$work/Demo Song.wav"
ffmpeg -v error -y -f lavfi -i "sine=frequency=550:duration=65" -ac 2 "$work/Second.wav"
build/cli/kelvra-convert --format mp3 -o "$work/out" "$work/Demo Song.wav"

source tests/wine/wine-env.sh "$build"
app=$build/winelib/app
if [ "${KELVRA_LANGUAGE:-zh}" = en ]; then lan=2; else lan=1; fi
printf '[App]\r\nAppLan=%s\r\n' "$lan" > "$app/Media.ini"
export LC_ALL=zh_CN.UTF-8
dos() { printf 'Z:%s' "${1//\//\\}"; }
if [ -n "${DISPLAY:-}" ]; then
  echo "Starting Kelvra on $DISPLAY"
  exec "$app/Kelvra.exe" "$(dos "$work/Demo Song.wav")" "$(dos "$work/Second.wav")"
fi
kelvra_start_xvfb
"$app/Kelvra.exe" "$(dos "$work/Demo Song.wav")" "$(dos "$work/Second.wav")" &
for _ in $(seq 1 300); do
  xdotool search --name 'Kelvra V1.2' >/dev/null 2>&1 && break
  sleep 0.1
done
sleep 1  # Wine flushes window surfaces to the X server periodically
xwd -root -silent | convert xwd:- "$work/kelvra.png"
echo "Kelvra ran on the Xvfb display $DISPLAY; its window is in $work/kelvra.png"
wineserver -k || true
