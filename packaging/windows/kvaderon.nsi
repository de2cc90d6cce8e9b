; The per-user installer of the Windows build (scripts/package-windows):
; makensis -INPUTCHARSET UTF8 -DVERSION=<version> -DSTAGE=<folder of the program> -DICON=<kvaderon.ico>
;          -DWELCOME=<164x314 .bmp> -DHEADER=<150x57 .bmp> -DLICENCE=<licence page text>
;          -DFILES=<File commands> -DUNFILES=<Delete commands> -DOUTFILE=<setup.exe> kvaderon.nsi
; Installs without administrator rights, by default into %LOCALAPPDATA%\Programs\Kvaderon, with a
; Start menu entry, an entry in the user's list of installed programs and "Open with" for TIFF
; files. The file kvaderon.installed tells the program that it is installed: its settings then live
; in %LOCALAPPDATA%\kvaderon\, which uninstalling and upgrading leave alone. A running copy of the
; program in the chosen folder (window or command line) is found before anything is replaced: the
; user is asked to close it; /S (silent) then ends with status 2 instead. The uninstaller removes
; exactly the files the installer put there, whatever folder was chosen.
; A 64-bit installer for the 64-bit program (and for Wine without its 32-bit half).
Target amd64-unicode
Unicode true
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"

!define TITLE "Kvaderon TIFF-файлов"
!define PUBLISHER "Kvaderon developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kvaderon"
!define APPLICATION_KEY "Software\Classes\Applications\kvaderon.exe"
!define PROGID "Kvaderon.tiff"

Name "${TITLE}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Kvaderon"
BrandingText "Kvaderon ${VERSION}"
VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1049 "ProductName" "Kvaderon"
VIAddVersionKey /LANG=1049 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1049 "FileDescription" "Установка ${TITLE}"
VIAddVersionKey /LANG=1049 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1049 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1049 "LegalCopyright" "© 2026 ${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${WELCOME}"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${WELCOME}"
!define MUI_HEADERIMAGE
!define MUI_HEADERIMAGE_RIGHT
!define MUI_HEADERIMAGE_BITMAP "${HEADER}"
!define MUI_HEADERIMAGE_UNBITMAP "${HEADER}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\kvaderon.exe"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\ПРОЧТИ.txt"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Открыть ПРОЧТИ.txt"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENCE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Russian"

; Sets $0 to FILE when the program file $INSTDIR\FILE exists and cannot be opened for writing:
; Windows keeps the files of a running program from being written.
!macro FindHeldFile FILE
  ${If} ${FileExists} "$INSTDIR\${FILE}"
    ClearErrors
    FileOpen $1 "$INSTDIR\${FILE}" a
    ${If} ${Errors}
      StrCpy $0 "${FILE}"
    ${Else}
      FileClose $1
    ${EndIf}
  ${EndIf}
!macroend

; Sets $0 to a file of a running Kvaderon in $INSTDIR (window or command line), or to "".
Function FindRunningCopy
  StrCpy $0 ""
  !insertmacro FindHeldFile "kvaderon.exe"
  !insertmacro FindHeldFile "kvaderon-cli.exe"
  !insertmacro FindHeldFile "Qt6Core.dll"
  !insertmacro FindHeldFile "libstdc++-6.dll"
FunctionEnd

; Nothing is replaced while Kvaderon runs from $INSTDIR: the user closes it and retries, or the
; installation ends (silently: with status 2) and leaves the installed version whole.
Function WaitUntilNotRunning
  retry:
  Call FindRunningCopy
  ${If} $0 != ""
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Kvaderon запущен из папки $INSTDIR (занят файл $0).$\r$\n$\r$\nЗакройте окно Kvaderon и командные строки, в которых работает kvaderon-cli, и нажмите «Повтор»." /SD IDCANCEL IDRETRY retry
    SetErrorLevel 2
    Abort "Kvaderon запущен из папки $INSTDIR: установка отменена, установленная версия не изменена."
  ${EndIf}
FunctionEnd

Section
  SetShellVarContext current
  Call WaitUntilNotRunning
  SetOutPath "$INSTDIR"
  !include "${FILES}"
  FileOpen $0 "$INSTDIR\kvaderon.installed" w
  FileWrite $0 "Installed by the Kvaderon installer: the settings live in %LOCALAPPDATA%\kvaderon\.$\r$\n"
  FileClose $0
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${TITLE}.lnk" "$INSTDIR\kvaderon.exe"

  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${TITLE}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
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
  ; The installer's own files only; the settings in %LOCALAPPDATA%\kvaderon\ stay, and so does a
  ; folder that holds anything else.
  !include "${UNFILES}"
  Delete "$INSTDIR\kvaderon.installed"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${TITLE}.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "${APPLICATION_KEY}"
  DeleteRegKey HKCU "Software\Classes\${PROGID}"
  DeleteRegValue HKCU "Software\Classes\.tif\OpenWithProgids" "${PROGID}"
  DeleteRegValue HKCU "Software\Classes\.tiff\OpenWithProgids" "${PROGID}"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
