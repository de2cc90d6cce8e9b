; The per-user installer of the Windows build (scripts/package-windows):
; makensis -INPUTCHARSET UTF8 -DVERSION=<version> -DSTAGE=<folder of the program> -DICON=<kvaderon.ico>
;          -DOUTFILE=<setup.exe> kvaderon.nsi
; Installs without administrator rights into %LOCALAPPDATA%\Programs\Kvaderon, with a Start menu
; entry, an entry in the user's list of installed programs and "Open with" for TIFF files. The
; file kvaderon.installed tells the program that it is installed: its settings then live in
; %LOCALAPPDATA%\kvaderon\, which uninstalling and upgrading leave alone. /S installs silently.
; A 64-bit installer for the 64-bit program (and for Wine without its 32-bit half).
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include "MUI2.nsh"

!define TITLE "Kvaderon TIFF-файлов"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kvaderon"
!define APPLICATION_KEY "Software\Classes\Applications\kvaderon.exe"
!define PROGID "Kvaderon.tiff"

Name "${TITLE}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Kvaderon"
VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1049 "ProductName" "Kvaderon"
VIAddVersionKey /LANG=1049 "FileDescription" "Установка ${TITLE}"
VIAddVersionKey /LANG=1049 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1049 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1049 "LegalCopyright" "© 2026 Kvaderon developers"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\kvaderon.exe"
; No folder page: the uninstaller removes the program folder, which must be the program's own.
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Russian"

Section
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File /r "${STAGE}\*.*"
  FileOpen $0 "$INSTDIR\kvaderon.installed" w
  FileWrite $0 "Installed by the Kvaderon installer: the settings live in %LOCALAPPDATA%\kvaderon\.$\r$\n"
  FileClose $0
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${TITLE}.lnk" "$INSTDIR\kvaderon.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${TITLE}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Kvaderon"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kvaderon.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1

  ; "Open with" for .tif and .tiff: the application and a file type of its own.
  WriteRegStr HKCU "${APPLICATION_KEY}" "FriendlyAppName" "${TITLE}"
  WriteRegStr HKCU "${APPLICATION_KEY}\shell\open\command" "" '"$INSTDIR\kvaderon.exe" "%1"'
  WriteRegStr HKCU "${APPLICATION_KEY}\SupportedTypes" ".tif" ""
  WriteRegStr HKCU "${APPLICATION_KEY}\SupportedTypes" ".tiff" ""
  WriteRegStr HKCU "Software\Classes\${PROGID}" "" "TIFF (${TITLE})"
  WriteRegStr HKCU "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\kvaderon.exe,0"
  WriteRegStr HKCU "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\kvaderon.exe" "%1"'
  WriteRegStr HKCU "Software\Classes\.tif\OpenWithProgids" "${PROGID}" ""
  WriteRegStr HKCU "Software\Classes\.tiff\OpenWithProgids" "${PROGID}" ""
  ; SHCNE_ASSOCCHANGED: Explorer rereads the file types.
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  ; The program's own files only; the settings in %LOCALAPPDATA%\kvaderon\ stay.
  RMDir /r "$INSTDIR"
  Delete "$SMPROGRAMS\${TITLE}.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "${APPLICATION_KEY}"
  DeleteRegKey HKCU "Software\Classes\${PROGID}"
  DeleteRegValue HKCU "Software\Classes\.tif\OpenWithProgids" "${PROGID}"
  DeleteRegValue HKCU "Software\Classes\.tiff\OpenWithProgids" "${PROGID}"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
