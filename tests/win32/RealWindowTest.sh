#!/usr/bin/env bash
# The real kvaderon.exe under Wine on Xvfb with openbox, driven as a user drives it: started with
# one TIFF file with a Cyrillic name, then started again with all three ("Open with" on three
# files), which hands them to the running window and ends; the destination chosen in the folder
# dialog, a click on "Инвертировать TIFF"; its three positives must equal the Linux kvaderon-cli's
# byte for byte.
# It also opens the settings dialog. Screenshots go to KVADERON_SCREENSHOTS when set.
# RealWindowTest.sh KVADERON_EXE REFERENCE_BUILD   (exit 77: skipped, with the reason)
set -euo pipefail
exe=$1
reference=$2
# shellcheck source-path=SCRIPTDIR source=WineDesktop.sh
. "$(dirname "$0")/WineDesktop.sh"
wine_skip_without_desktop
[[ -x $reference/cli/kvaderon-cli && -x $reference/bench/kvaderon_make_tiff ]] ||
  skip "no Linux kvaderon-cli and kvaderon_make_tiff in '$reference'"

# A copy of the program, whose settings file lies beside it, in a fresh Windows installation.
mkdir -p "$work/app" "$work/out"
cp "$exe" "$work/app/kvaderon.exe"
make_inputs "$work/in" "$work/expected" "$reference"
wine_start_desktop
wine_fresh_prefix "$work/wine"

arguments=()
for name in "${inputs[@]}"; do arguments+=("$(windows_path "$work/in/$name")"); done
QT_QPA_PLATFORM=windows "$wine" "$work/app/kvaderon.exe" "${arguments[0]}" >"$work/window.log" 2>&1 &
main=$(window "Kvaderon")
sleep 2
QT_QPA_PLATFORM=windows timeout 120 "$wine" "$work/app/kvaderon.exe" "${arguments[@]}" >"$work/second.log" 2>&1 ||
  fail "the second start did not hand its files over and end: $(cat "$work/second.log")"
sleep 1
[[ $(xdotool search --onlyvisible --name "Kvaderon" | wc -l) == 1 ]] || fail "the second start opened a window"
shot window-files
# "Куда сохранять", then the folder typed into the folder dialog's name field.
click "$main" 60 48
window "Выберите папку" >/dev/null
sleep 1
xdotool type --delay 20 "$(windows_path "$work/out")"
xdotool key Return
window_gone "Выберите папку"
# "Инвертировать TIFF"
click "$main" 60 79
result=$(window "Результаты обработки")
sleep 1
shot result-dialog
# The dialog ignores Escape: Tab from "Открыть папку" to "Закрыть", then Return.
xdotool windowactivate --sync "$result" key Tab
xdotool key Return
window_gone "Результаты обработки"
same_positives "$work/in" "$work/out" "$work/expected"
shot window-done
# The gear button at the window's top right corner opens the settings dialog.
eval "$(xdotool getwindowgeometry --shell "$main" | grep '^WIDTH=')"
click "$main" $((WIDTH - 17)) 16
settings=$(window "^Настройки")
sleep 1
shot settings-dialog
# Return presses its default button, "OK".
xdotool windowactivate --sync "$settings" key Return
window_gone "^Настройки"
echo "a second start handed its three files to the window; the window's three positives equal the Linux kvaderon-cli's"
