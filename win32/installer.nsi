; The Windows installer: tm650e.exe, the help book and an uninstaller in the
; user's own programs folder, with a Start-menu entry. Per user, so it needs
; no administrator. makensis gets VERSION, EXE, HELP and OUTFILE from the build.
Unicode true
; A 64-bit installer for a 64-bit program (and for a 64-bit-only Wine).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

Name "TM650E"
Caption "TM650E ${VERSION} Setup"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\TM650E"
InstallDirRegKey HKCU "Software\Fernhill\TM650E" "InstallDir"
VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "TM650E"
VIAddVersionKey "CompanyName" "Fernhill"
VIAddVersionKey "FileDescription" "TM650E Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) 2026 Fernhill"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TM650E"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "TM650E"
  SetOutPath "$INSTDIR"
  File "${EXE}"
  File "${HELP}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortCut "$SMPROGRAMS\TM650E.lnk" "$INSTDIR\tm650e.exe"
  WriteRegStr HKCU "Software\Fernhill\TM650E" "InstallDir" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "TM650E - Knitting Computer Emulator"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Fernhill"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tm650e.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The user's settings, log and kept device stay: they are the user's.
Section "Uninstall"
  Delete "$SMPROGRAMS\TM650E.lnk"
  Delete "$INSTDIR\tm650e.exe"
  Delete "$INSTDIR\tm650e.html"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegValue HKCU "Software\Fernhill\TM650E" "InstallDir"
SectionEnd
