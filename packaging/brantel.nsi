; Installer for Brantel. Built by scripts/package.sh with
;   makensis -DARCH=x64|x86 -DVERSION=... -DSTAGE=<folder with the files> -DOUTFILE=<installer>
;
; It installs for the current user only and asks for no elevation. The
; program writes beside itself and in its working folder (its settings, the
; generic system files Create system sends, the handshake and userinfo
; files), and its manifest runs it as invoker, without file virtualisation:
; it must live in a folder its user may write, which Program Files is not.
Unicode true
!if "${ARCH}" == "x64"
  Target amd64-unicode
!else
  Target x86-unicode
!endif

!include "MUI2.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Brantel"

Name "Brantel ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Brantel"
SetCompressor /SOLID lzma

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "English"

Section "Brantel"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File /r "${STAGE}\*.*"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  ; The program looks for its font file and the files it sends in its
  ; working folder. A shortcut's working folder is the output path at the
  ; time it is made: the installation folder.
  CreateDirectory "$SMPROGRAMS\Brantel"
  CreateShortcut "$SMPROGRAMS\Brantel\Brantel.lnk" "$INSTDIR\Brantel.exe" "" "$INSTDIR\Brantel.exe" 0 SW_SHOWNORMAL "" "Brantel ${VERSION}"
  CreateShortcut "$SMPROGRAMS\Brantel\Uninstall Brantel.lnk" "$INSTDIR\Uninstall.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Brantel ${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Brantel.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\Brantel\Brantel.lnk"
  Delete "$SMPROGRAMS\Brantel\Uninstall Brantel.lnk"
  RMDir "$SMPROGRAMS\Brantel"
  ; Only the files the installer put there: settings and files the program
  ; wrote at run time stay, and with them the folder.
  !include "${STAGE}\..\uninstall-files.nsh"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
