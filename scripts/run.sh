#!/usr/bin/env bash
# Builds the catalogue program and starts it with the catalogue's folder as current directory:
# $TBK_CATALOGUE_DIR when set, else ~/TuneBank (created when missing). Arguments go to cmake's
# build step (e.g. -j4).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run.sh: no display: neither DISPLAY nor WAYLAND_DISPLAY is set." >&2
  echo "TuneBank is a desktop program and needs one; on a machine without a screen run it as" >&2
  echo "  xvfb-run -a scripts/run.sh" >&2
  exit 2
fi

"$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" --target tbk98r datfix discseek "${@:--j4}"
# The helper programs the catalogue starts, when they are not next to it.
export PATH="$root/build/app:$PATH"

catalogue="${TBK_CATALOGUE_DIR:-$HOME/TuneBank}"
mkdir -p "$catalogue"
cd "$catalogue"
echo "Catalogue folder: $catalogue"
exec "$root/build/app/tbk98r"
