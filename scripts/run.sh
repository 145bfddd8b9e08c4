#!/usr/bin/env bash
# Sets up, builds and starts sfxpack, the script editor (the program without
# a package appended). It needs a graphical desktop: $DISPLAY.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSFX_TESTS=OFF -DSFX_BENCH=OFF
if [ -z "${DISPLAY:-}" ]; then
  echo "run.sh: built build/tools/sfxpack, but there is no display (DISPLAY is not set) to start it on." >&2
  echo "run.sh: start it from a graphical desktop, or on a virtual one: xvfb-run -a build/tools/sfxpack" >&2
  exit 1
fi
exec build/tools/sfxpack
