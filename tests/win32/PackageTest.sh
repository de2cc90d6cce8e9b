#!/usr/bin/env bash
# The Windows downloads under Wine, each in a fresh Windows installation and without any search
# path to the build's DLLs:
# - the zip: every import of every shipped .exe and .dll is shipped or is a DLL of Windows itself;
#   unpacked, kvaderon-cli.exe inverts byte for byte as the Linux kvaderon-cli does, and the window
#   starts and, closed, writes its settings beside kvaderon.exe (a portable copy);
# - the installer: /S installs the files, the Start menu entry, the uninstall entry (with size,
#   version and publisher) and "Open with"; the installed kvaderon-cli.exe inverts byte for byte and
#   the installed window keeps its settings in %LOCALAPPDATA%\kvaderon\; while the window runs, a
#   second /S refuses with status 2 and replaces nothing; closed, the upgrade goes through and keeps
#   the settings; the silent uninstaller removes all of it but the settings.
# Judged by files and registry keys, not by exit codes.
# PackageTest.sh ZIP SETUP_EXE REFERENCE_BUILD   (exit 77: skipped, with the reason)
set -euo pipefail
zip=$1
setup=$2
reference=$3
# shellcheck source-path=SCRIPTDIR source=WineDesktop.sh
. "$(dirname "$0")/WineDesktop.sh"
wine_skip_without_desktop
unset WINEPATH
make_inputs "$work/in" "$work/expected" "$reference"
wine_start_desktop

# Inverts the inputs with the kvaderon-cli.exe $1 into the folder $2 and checks the positives.
cli_inverts() {
  local arguments=() name
  for name in "${inputs[@]}"; do arguments+=("$(windows_path "$work/in/$name")"); done
  "$wine" "$1" invert --out "$(windows_path "$2")" --color never "${arguments[@]}" >"$work/cli.log" 2>&1 ||
    { cat "$work/cli.log"; fail "$1 failed"; }
  same_positives "$work/in" "$2" "$work/expected"
}
# Starts the window $1, waits for it and closes it as a user does; it saves its settings then.
window_starts() {
  QT_QPA_PLATFORM=windows "$wine" "$1" >"$work/window.log" 2>&1 &
  local id
  id=$(window "Kvaderon")
  sleep 2
  xdotool windowactivate --sync "$id" key --clearmodifiers alt+F4
  window_gone "Kvaderon"
  /usr/lib/wine/wineserver -w
}
user_folder() { echo "$WINEPREFIX/drive_c/users/${USER:-$(id -un)}"; }
has_key() { "$wine" reg query "$1" ${2:+/v "$2"} >/dev/null 2>&1; }

# The zip.
wine_fresh_prefix "$work/wine-zip"
system32=$WINEPREFIX/drive_c/windows/system32
unzip -q "$zip" -d "$work/zip"
program=$(dirname "$(find "$work/zip" -name kvaderon.exe)")
while IFS= read -r -d '' binary; do
  for dll in $(x86_64-w64-mingw32-objdump -p "$binary" | sed -n 's/^\s*DLL Name: //p'); do
    # API sets (api-ms-win-*) are names the Windows loader maps to its own DLLs, not files.
    [[ ${dll,,} == api-ms-win-* || ${dll,,} == ext-ms-win-* ]] && continue
    [[ -n $(find "$program" "$system32" -maxdepth 1 -iname "$dll" -print -quit) ]] ||
      fail "${binary#"$program"/} imports $dll, which is neither shipped nor part of Windows"
  done
done < <(find "$program" -iname '*.exe' -print0 -o -iname '*.dll' -print0)
cli_inverts "$program/kvaderon-cli.exe" "$work/out-zip"
window_starts "$program/kvaderon.exe"
[[ -s $program/kvaderon.ini ]] || fail "the zip's window kept no settings beside kvaderon.exe"
echo "zip: every import resolves; the CLI inverts byte-identically; the window keeps its settings beside it"

# The installer.
wine_fresh_prefix "$work/wine-setup"
"$wine" "$setup" /S >/dev/null 2>&1 || true
/usr/lib/wine/wineserver -w
local_app_data=$(user_folder)/AppData/Local
installed=$local_app_data/Programs/Kvaderon
shortcut="$(user_folder)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Kvaderon TIFF-файлов.lnk"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kvaderon'
application_key='HKCU\Software\Classes\Applications\kvaderon.exe'
for file in kvaderon.exe kvaderon-cli.exe Qt6Core.dll platforms/qwindows.dll translations/qtbase_ru.qm \
  kvaderon.installed uninstall.exe; do
  [[ -f $installed/$file ]] || fail "the installer did not install $file"
done
# Every file of the zip, where the zip has it (the installer lists its files one by one).
diff <(cd "$program" && find . -type f ! -name kvaderon.ini | LC_ALL=C sort) \
  <(cd "$installed" && find . -type f ! -name kvaderon.installed ! -name uninstall.exe | LC_ALL=C sort) >&2 ||
  fail "the installer did not install the zip's files where the zip has them"
[[ -f $shortcut ]] || fail "no Start menu entry"
has_key "$uninstall_key" UninstallString || fail "no entry in the list of installed programs"
has_key "$application_key\\shell\\open\\command" || fail "no 'Open with' command"
has_key "$application_key\\SupportedTypes" .tif && has_key "$application_key\\SupportedTypes" .tiff ||
  fail "'Open with' does not name .tif and .tiff"
has_key 'HKCU\Software\Classes\.tif\OpenWithProgids' Kvaderon.tiff || fail "no OpenWithProgids for .tif"
for value in DisplayVersion Publisher EstimatedSize; do
  has_key "$uninstall_key" "$value" || fail "the uninstall entry has no $value"
done
size=$("$wine" reg query "$uninstall_key" /v EstimatedSize | sed -n 's/.*REG_DWORD\s*0x\([0-9a-f]*\).*/\1/p')
(($((16#${size:-0})) > 10000)) || fail "EstimatedSize is ${size:-absent} KiB, not the size of the program"
cli_inverts "$installed/kvaderon-cli.exe" "$work/out-setup"
window_starts "$installed/kvaderon.exe"
settings=$local_app_data/kvaderon/kvaderon.ini
[[ -s $settings ]] || fail "the installed window kept no settings in %LOCALAPPDATA%\\kvaderon"
[[ ! -e $installed/kvaderon.ini ]] || fail "the installed window kept its settings in the program folder"
echo "installer: files, Start menu entry, uninstall entry and 'Open with' are there; the CLI inverts byte-identically; the settings live in %LOCALAPPDATA%\\kvaderon"

# An upgrade while the window runs: refused, nothing replaced (the marker in a file the installer
# writes stays). Closed, the upgrade replaces the files and keeps the settings.
printf 'marker' >>"$installed/ПРОЧТИ.txt"
QT_QPA_PLATFORM=windows "$wine" "$installed/kvaderon.exe" >"$work/window.log" 2>&1 &
running=$(window "Kvaderon")
status=0
"$wine" "$setup" /S >/dev/null 2>&1 || status=$?
((status == 2)) || fail "the silent upgrade over a running window ended with status $status, not 2"
[[ $(tail -c 6 "$installed/ПРОЧТИ.txt") == marker ]] || fail "the refused upgrade replaced files"
xdotool windowactivate --sync "$running" key --clearmodifiers alt+F4
window_gone "Kvaderon"
/usr/lib/wine/wineserver -w
cp "$settings" "$work/settings-before"
status=0
"$wine" "$setup" /S >/dev/null 2>&1 || status=$?
/usr/lib/wine/wineserver -w
((status == 0)) || fail "the silent upgrade with the window closed ended with status $status"
[[ $(tail -c 6 "$installed/ПРОЧТИ.txt") != marker ]] || fail "the upgrade did not replace the files"
cmp -s "$settings" "$work/settings-before" || fail "the upgrade changed the settings"
echo "upgrade: refused with status 2 while the window runs, nothing replaced; done once it is closed, settings kept"

"$wine" "$installed/uninstall.exe" /S >/dev/null 2>&1 || true
/usr/lib/wine/wineserver -w
# The uninstaller runs as a copy of itself that may outlive the first process.
for _ in $(seq 60); do [[ -e $installed ]] || break; sleep 0.5; done
[[ ! -e $installed ]] || fail "the uninstaller left the program folder"
[[ ! -e $shortcut ]] || fail "the uninstaller left the Start menu entry"
! has_key "$uninstall_key" || fail "the uninstaller left its entry"
! has_key "$application_key" || fail "the uninstaller left 'Open with'"
! has_key 'HKCU\Software\Classes\.tif\OpenWithProgids' Kvaderon.tiff || fail "the uninstaller left OpenWithProgids"
[[ -s $settings ]] || fail "the uninstaller removed the settings"
echo "uninstaller: files, entry, keys gone; the settings stay"
