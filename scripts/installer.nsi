; Installer for Corvantile: copies the program, adds a Start Menu shortcut and an uninstaller.
Unicode true
Name "Corvantile"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Corvantile"
RequestExecutionLevel user

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Corvantile"
  SetOutPath "$INSTDIR"
  File "${EXE}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortCut "$SMPROGRAMS\Corvantile.lnk" "$INSTDIR\Corvantile.exe"
  WriteRegStr HKCU "Software\Microsoft\Windows\CurrentVersion\Uninstall\Corvantile" "DisplayName" "Corvantile"
  WriteRegStr HKCU "Software\Microsoft\Windows\CurrentVersion\Uninstall\Corvantile" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "Software\Microsoft\Windows\CurrentVersion\Uninstall\Corvantile" "UninstallString" "$INSTDIR\Uninstall.exe"
SectionEnd

Section "Uninstall"
  ExecWait '"$INSTDIR\Corvantile.exe" /exit'
  Delete "$SMPROGRAMS\Corvantile.lnk"
  Delete "$SMSTARTUP\Corvantile.lnk"
  Delete "$INSTDIR\Corvantile.exe"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "Software\Microsoft\Windows\CurrentVersion\Uninstall\Corvantile"
SectionEnd
