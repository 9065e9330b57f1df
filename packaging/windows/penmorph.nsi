; The installer of Penmorph: for the current user, without administrator rights, into
; %LOCALAPPDATA%\Programs\Penmorph, with a Start menu entry and an uninstaller listed under the
; user's installed programs. Uninstalling removes everything it installed; the user's ini file
; stays if they say so (in silent mode it always stays).
;
;   makensis -DVERSION=1.3.0 -DSTAGE=folder -DOUTFILE=Penmorph-1.3.0-setup.exe penmorph.nsi

; The program is 64-bit; so is its installer (which also runs where Windows has no 32-bit part).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Penmorph"

Name "Penmorph ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Penmorph"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "Penmorph"
VIAddVersionKey /LANG=0 "FileDescription" "Penmorph ${VERSION} setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "MIT License, the Penmorph developers"

!define MUI_FINISHPAGE_RUN "$INSTDIR\penmorph.exe"
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"
!insertmacro MUI_LANGUAGE "English"

LangString KeepSettings ${LANG_JAPANESE} "設定ファイル (penmorph.ini) を残しますか？$\r$\n「いいえ」を選ぶと、変換表とフォルダの設定も削除します。"
LangString KeepSettings ${LANG_ENGLISH} "Keep your settings file (penmorph.ini)?$\r$\nNo also removes your conversion tables and folder settings."

Section "Penmorph"
  SetOutPath "$INSTDIR"
  File "${STAGE}\penmorph.exe"
  File "${STAGE}\penmorph-cli.exe"
  File "${STAGE}\README-ja.txt"
  File "${STAGE}\README-en.txt"
  File "${STAGE}\LICENSE.txt"
  ; The user's manual, where the window looks for it: manual\ beside penmorph.exe.
  SetOutPath "$INSTDIR\manual"
  File "${STAGE}\manual\*.*"
  ; The Start menu entry's working folder is the output folder at its making: the program's.
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "$SMPROGRAMS\Penmorph"
  CreateShortcut "$SMPROGRAMS\Penmorph\Penmorph.lnk" "$INSTDIR\penmorph.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Penmorph"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "the Penmorph developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\penmorph.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

; The user's ini file: %APPDATA%\Penmorph\penmorph.ini, or one they put beside the program.
Function un.RemoveSettings
  ${If} ${FileExists} "$APPDATA\Penmorph\penmorph.ini"
  ${OrIf} ${FileExists} "$INSTDIR\penmorph.ini"
    ${If} ${Silent}
      Return
    ${EndIf}
    MessageBox MB_YESNO|MB_ICONQUESTION "$(KeepSettings)" IDYES keep
  ${EndIf}
  Delete "$APPDATA\Penmorph\penmorph.ini"
  RMDir "$APPDATA\Penmorph"
  Delete "$INSTDIR\penmorph.ini"
  keep:
FunctionEnd

Section "Uninstall"
  Call un.RemoveSettings
  Delete "$INSTDIR\penmorph.exe"
  Delete "$INSTDIR\penmorph-cli.exe"
  Delete "$INSTDIR\README-ja.txt"
  Delete "$INSTDIR\README-en.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\manual\penmorph-manual.html"
  Delete "$INSTDIR\manual\*.png"
  RMDir "$INSTDIR\manual"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Penmorph\Penmorph.lnk"
  RMDir "$SMPROGRAMS\Penmorph"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
