; Installer for Brantel. Built by scripts/package.sh with
;   makensis -DARCH=x64|x86 -DVERSION=... -DSTAGE=<folder with the files> -DOUTFILE=<installer>
Unicode true
!if "${ARCH}" == "x64"
  Target amd64-unicode
!else
  Target x86-unicode
!endif

!include "MUI2.nsh"
!include "x64.nsh"

Name "Brantel ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
!if "${ARCH}" == "x64"
  InstallDir "$PROGRAMFILES64\Brantel"
!else
  InstallDir "$PROGRAMFILES32\Brantel"
!endif
SetCompressor /SOLID lzma

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "English"

Section "Brantel"
  SetOutPath "$INSTDIR"
  File /r "${STAGE}\*.*"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  ; The program looks for its font file in the working folder, so the
  ; shortcut starts it in the installation folder.
  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\Brantel"
  CreateShortcut "$SMPROGRAMS\Brantel\Brantel.lnk" "$INSTDIR\Brantel.exe" "" "$INSTDIR\Brantel.exe" 0 SW_SHOWNORMAL "" "Brantel ${VERSION}"
  CreateShortcut "$SMPROGRAMS\Brantel\Uninstall Brantel.lnk" "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\Brantel" "DisplayName" "Brantel ${VERSION}"
  WriteRegStr HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\Brantel" "UninstallString" '"$INSTDIR\Uninstall.exe"'
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\Brantel\Brantel.lnk"
  Delete "$SMPROGRAMS\Brantel\Uninstall Brantel.lnk"
  RMDir "$SMPROGRAMS\Brantel"
  ; Only the files the installer put there: settings and files the program
  ; wrote at run time stay.
  !include "${STAGE}\..\uninstall-files.nsh"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\Brantel"
SectionEnd
