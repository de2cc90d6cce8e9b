# shellcheck shell=bash
# Helpers of the tests that run the real program under Wine on a display of their own (sourced):
# a temporary folder, fresh Wine prefixes, Xvfb with openbox, windows found and clicked with
# xdotool, screenshots, and everything ended when the test ends.
# Needs: wine64, Xvfb, openbox, xdotool, import (ImageMagick); wine_skip_without_desktop exits 77.
wine=/usr/lib/wine/wine64
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

skip() { echo "skipped: $*"; exit 77; }
fail() { echo "FAILED: $*" >&2; exit 1; }

wine_skip_without_desktop() {
  local tool
  for tool in Xvfb openbox xdotool import "$wine"; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
  done
}

work=$(mktemp -d "${TMPDIR:-/tmp}/kvaderon-wine.XXXXXX")
desktop_pids=()
prefixes=()
wine_finish() {
  local pid prefix
  for prefix in "${prefixes[@]}"; do WINEPREFIX=$prefix /usr/lib/wine/wineserver -k 2>/dev/null || true; done
  for pid in "${desktop_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap wine_finish EXIT

# A fresh Windows installation in the folder $1, made the current one.
wine_fresh_prefix() {
  export WINEPREFIX=$1
  prefixes+=("$1")
  "$wine" wineboot --init >/dev/null 2>&1 || true
  /usr/lib/wine/wineserver -w
}

# A display of its own (Xvfb picks a free number) with a window manager.
wine_start_desktop() {
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
  desktop_pids+=($!)
  for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
  [[ -s $work/display ]] || fail "Xvfb did not start"
  DISPLAY=:$(head -n1 "$work/display")
  export DISPLAY
  openbox >/dev/null 2>&1 &
  desktop_pids+=($!)
}

# The screen as $KVADERON_SCREENSHOTS/$1.png, when that variable names a folder.
shot() {
  [[ -n ${KVADERON_SCREENSHOTS:-} ]] || return 0
  mkdir -p "$KVADERON_SCREENSHOTS"
  import -window root "$KVADERON_SCREENSHOTS/$1.png"
}

# Waits up to a minute for a visible window whose title matches $1 and prints its id.
window() {
  local id
  for _ in $(seq 120); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -n1) && [[ -n $id ]] && { echo "$id"; return; }
    sleep 0.5
  done
  fail "no window '$1' appeared"
}

# Waits up to a minute for the windows whose title matches $1 to be gone.
window_gone() {
  for _ in $(seq 120); do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.5
  done
  fail "the window '$1' did not close"
}

# Clicks at $2, $3 inside the window $1.
click() {
  xdotool mousemove --window "$1" "$2" "$3" click 1
}

windows_path() { echo "Z:$1" | tr / '\\'; }

# Three TIFF files with Cyrillic names in $1 and the Linux kvaderon-cli's positives of them in $2,
# with the programs of the Linux build folder $3.
make_inputs() {
  local sizes=("120 80" "64 200" "300 33") i
  inputs=("скан первый.tif" "Плёнка-2.tif" "кадр_03.tif")
  mkdir -p "$1" "$2"
  for i in 0 1 2; do
    # shellcheck disable=SC2086 # width and height
    "$3/bench/kvaderon_make_tiff" "$1/${inputs[i]}" ${sizes[i]} 7 >/dev/null
  done
  "$3/cli/kvaderon-cli" invert --out "$2" --color never "$1"/*.tif >/dev/null
}

# The positives in $2 of the files in $1 must be those in $3.
same_positives() {
  local name
  for name in "${inputs[@]}"; do
    cmp "$3/$name" "$2/$name" || fail "$2/$name is not the Linux kvaderon-cli's positive"
  done
}
