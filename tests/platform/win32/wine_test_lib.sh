# What the Windows programs' shell tests share: source it with the
# arguments WINE_SH PREFIX SFXTOOL.exe. Sets wine, prefix and sfxtool, run
# (a Windows program under Wine), fail, and work, a temporary folder that
# is the current one and goes at the end.
wine=$1 prefix=$2 sfxtool=$3
fail() { echo "FAIL: $*" >&2; exit 1; }
run() { bash "$wine" "$prefix" "$@"; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || fail "cannot enter $work"
