#!/usr/bin/env bash
# Sourced by tests that run Winelib programs: a private Wine prefix, no sound card needed,
# and an Xvfb display when none is given. Usage: source wine-env.sh BUILD_DIR
kelvra_build=${1:?build dir}
export PATH="$PATH:/usr/lib/wine"
# Debian's wine64 package ships only the wine64 loader; the Winelib launcher scripts and this
# file call "wine" and "wineboot", so small stand-ins go on PATH.
if ! command -v wine >/dev/null 2>&1 || ! command -v wineboot >/dev/null 2>&1; then
  kelvra_shims="$kelvra_build/wine-shims"
  mkdir -p "$kelvra_shims"
  kelvra_loader=$(command -v wine64 || echo /usr/lib/wine/wine64)
  printf '#!/bin/sh\nexec "%s" "$@"\n' "$kelvra_loader" > "$kelvra_shims/wine"
  printf '#!/bin/sh\nexec "%s" wineboot "$@"\n' "$kelvra_loader" > "$kelvra_shims/wineboot"
  chmod +x "$kelvra_shims/wine" "$kelvra_shims/wineboot"
  export PATH="$kelvra_shims:$PATH"
fi
export WINEPREFIX="$kelvra_build/wineprefix"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
# A null ALSA device gives wave-out something to open.
export ALSA_CONFIG_PATH="$kelvra_build/alsa-null.conf"
[ -f "$ALSA_CONFIG_PATH" ] || echo 'pcm.!default { type null } ctl.!default { type hw card 0 }' > "$ALSA_CONFIG_PATH"
(
  flock 9
  if [ ! -f "$WINEPREFIX/.kelvra-ready" ]; then
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
    touch "$WINEPREFIX/.kelvra-ready"
  fi
) 9>"$kelvra_build/wineprefix.lock"
# Starts Xvfb on a free display unless DISPLAY is set; the display goes away with the shell.
kelvra_start_xvfb() {
  if [ -n "${DISPLAY:-}" ]; then return 0; fi
  local n
  for n in $(seq 90 140); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
      KELVRA_XVFB_PID=$!
      export DISPLAY=":$n"
      for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
      trap 'kill $KELVRA_XVFB_PID 2>/dev/null' EXIT
      return 0
    fi
  done
  return 1
}
