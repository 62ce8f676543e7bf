#!/usr/bin/env bash
# Sourced before tests/wine/wine-env.sh: Debian's wine64 package has no "wine" or "wineboot"
# commands, which the Winelib launchers and wine-env.sh call; small shims stand in.
# Usage: source wine-shims.sh BUILD_DIR
kelvra_shims="${1:?build dir}/wine-shims"
if ! command -v wine >/dev/null 2>&1 || ! command -v wineboot >/dev/null 2>&1; then
  mkdir -p "$kelvra_shims"
  loader=$(command -v wine64 || echo /usr/lib/wine/wine64)
  printf '#!/bin/sh\nexec "%s" "$@"\n' "$loader" > "$kelvra_shims/wine"
  printf '#!/bin/sh\nexec "%s" wineboot "$@"\n' "$loader" > "$kelvra_shims/wineboot"
  chmod +x "$kelvra_shims/wine" "$kelvra_shims/wineboot"
  export PATH="$kelvra_shims:$PATH:/usr/lib/wine"
fi
