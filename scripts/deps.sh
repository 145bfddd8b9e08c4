#!/usr/bin/env bash
# Installs the Debian packages that are missing: `scripts/deps.sh` what
# building and running need, `scripts/deps.sh test` the test tools as well.
# Runs apt-get as root, or through sudo when it is there.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ pkg-config
  libfltk1.3-dev libxcursor-dev libxinerama-dev libcli11-dev nlohmann-json3-dev
  xdg-utils
)
TEST_PACKAGES=(
  clang libclang-rt-14-dev libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool x11-utils imagemagick fonts-dejavu-core python3
  dpkg-dev lintian desktop-file-utils shared-mime-info man-db bash-completion
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev g++-mingw-w64-i686-posix mingw-w64-i686-dev
  binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 googletest wine wine64 fonts-wine
)

case "${1:-}" in
  "") ;;
  test) PACKAGES+=("${TEST_PACKAGES[@]}") ;;
  *) echo "usage: scripts/deps.sh [test]" >&2; exit 2 ;;
esac

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=()
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null; then
    echo "deps.sh: these packages are missing: ${missing[*]}" >&2
    echo "deps.sh: run this script as root (there is no sudo to install them with)." >&2
    exit 1
  fi
  SUDO=(sudo)
fi
echo "Installing: ${missing[*]}" >&2
"${SUDO[@]}" apt-get update -qq
"${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
