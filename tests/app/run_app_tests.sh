#!/usr/bin/env bash
# Runs one scenario of the Kelvra test driver under Wine and Xvfb, in a Chinese locale.
# Usage: run_app_tests.sh BUILD_DIR SCENARIO [LANGUAGE]
set -euo pipefail
build=$(cd "${1:?build dir}" && pwd)
scenario=${2:?scenario}
language=${3:-zh}
here=$(cd "$(dirname "$0")" && pwd)
winelib="$build/winelib"
source "$here/../wine/wine-env.sh" "$build"
kelvra_start_xvfb

if ! locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$'; then
  echo "the zh_CN.UTF-8 locale is missing (scripts/install-deps.sh makes it)"; exit 1
fi
export LC_ALL=zh_CN.UTF-8


root="$build/test-tmp/app"
media="$root/media"
mkdir -p "$root"
dos() { printf 'Z:%s' "${1//\//\\}"; }

# Media shared by all scenarios, made once.
(
  flock 9
  if [ ! -f "$media/.ready" ]; then
    rm -rf "$media" && mkdir -p "$media/many" "$media/My Music"
    tone() { ffmpeg -v error -y -f lavfi -i "sine=frequency=${3:-440}:duration=$2" -ac 2 -ar 44100 "${@:4}" "$1"; }
    tone "$media/tagged.wav" 2 440 -metadata artist=" Abc " -metadata title="Xyz"
    tone "$media/Plain Name.wav" 1 550
    tone "$media/中文歌.wav" 3 500 -metadata artist="歌手" -metadata title="歌名"
    tone "$media/with space.wav" 1 660
    tone "$media/plain.wav" 1 770
    tone "$media/noext" 1 880 -f wav
    tone "$media/a.wav" 2 440
    tone "$media/c.wav" 2 660
    tone "$media/s1.wav" 2 440
    tone "$media/s3.wav" 2 660
    for i in 1 2 3; do tone "$media/m$i.wav" 5 $((300 * i)); done
    # Long sources stay small at low rates.
    sox -n -r 2000 -c 1 -b 8 "$media/s2.wav" synth 1800 sine 300
    sox -n -r 1000 -c 1 -b 8 "$media/long.wav" trim 0 3725
    for i in $(seq 1 42); do sox -n -r 1000 -c 1 -b 8 "$media/many/$(printf 't%02d.wav' "$i")" trim 0 "$i"; done
    printf 'This is no audio file, only text that claims to be one.\n%.0s' $(seq 1 50) > "$media/broken.wav"
    touch "$media/.ready"
  fi
) 9>"$root/media.lock"

work="$root/$scenario-$language"
rm -rf "$work" && mkdir -p "$work"
driver="$winelib/tests/app/winelib/kelvra-app-driver.exe.so"

case "$scenario" in
  startup)
    cp "$winelib/app/Kelvra.exe.so" "$winelib/app/Velmar.dll" "$winelib/app/kvwmcore.dll" "$work/"
    wine "$driver" startup "$(dos "$work")" "$(dos "$media")"
    ;;
  screens)
    # Requests from the driver are answered with a picture of the whole (virtual) desktop.
    shots="$root/screens"
    mkdir -p "$shots"
    (
      while true; do
        for request in "$work"/*.request; do
          [ -e "$request" ] || continue
          name=$(basename "$request" .request)
          xwd -root -silent | convert xwd:- "$shots/$name.png"
          rm -f "$request"
          touch "$work/$name.done"
        done
        [ -e "$work/.finished" ] && break
        sleep 0.1
      done
    ) &
    watcher=$!
    status=0
    wine explorer /desktop=kelvra,1000x720 "$driver" screens "$(dos "$media")" "$(dos "$work")" "$language" \
      > "$work/driver.log" 2>&1 || status=$?
    touch "$work/.finished"
    wait "$watcher" || true
    cat "$work/driver.log"
    grep -q '^0 failure(s)' "$work/driver.log" || exit 1
    echo "pictures in $shots"
    exit $status
    ;;
  *)
    wine "$driver" "$scenario" "$(dos "$media")" "$(dos "$work")"
    ;;
esac
