; Installer for Corvantile: a 64-bit, per-user installer (no elevation). It copies the program
; into the user's programs folder, adds a Start Menu shortcut, optionally the "Start with Windows"
; link (the one the program's General page manages), registers an entry in Programs and Features
; and an uninstaller. A copy that runs while the installer replaces it is asked to end first and
; started again afterwards.
;
; makensis -DVERSION=1.2.3.4 -DEXE=path\to\Corvantile.exe -DOUTFILE=setup.exe installer.nsi
Unicode true
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define PRODUCT "Corvantile"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Corvantile"
; How long a running copy is given to save its settings and end, in milliseconds, and how many
; half-second tries a file that is still held gets.
!define END_WAIT_MS 20000
!define END_WAIT_STEPS 40

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "CompanyName" "${PRODUCT}"
VIAddVersionKey "LegalCopyright" "Copyright (C) 2026 the Corvantile developers"

Var WasRunning

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\Corvantile.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Run Corvantile"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Asks a running Corvantile to save and end (as its Exit command does) and waits until its
; process has ended, so that a copy started afterwards is not taken for a second one. $0 is 1
; afterwards when a copy was running.
!macro EndRunningCopy
  StrCpy $0 0
  System::Call 'user32::FindWindowW(p 0, w "Corvantile") p .r1'
  ${If} $1 <> 0
    StrCpy $0 1
    System::Call 'user32::GetWindowThreadProcessId(p r1, *i .r3) i'
    ; SYNCHRONIZE: enough to wait for the process.
    System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i r3) p .r4'
    DetailPrint "Asking the running Corvantile to end..."
    ${If} ${FileExists} "$INSTDIR\Corvantile.exe"
      ExecWait '"$INSTDIR\Corvantile.exe" /exit'
    ${Else}
      ; WM_COMMAND with the Exit command (32779), as "/exit" sends it.
      System::Call 'user32::PostMessageW(p r1, i 0x111, p 32779, p 0)'
    ${EndIf}
    ${If} $4 <> 0
      System::Call 'kernel32::WaitForSingleObject(p r4, i ${END_WAIT_MS}) i .r5'
      System::Call 'kernel32::CloseHandle(p r4)'
    ${Else}
      ${For} $2 1 ${END_WAIT_STEPS}
        Sleep 500
        System::Call 'user32::FindWindowW(p 0, w "Corvantile") p .r1'
        ${IfThen} $1 = 0 ${|} ${Break} ${|}
      ${Next}
    ${EndIf}
  ${EndIf}
!macroend

; Deletes a file that may still be held for a moment by a program that is ending.
!macro DeleteWithRetries file
  StrCpy $2 0
  ${Do}
    ClearErrors
    Delete "${file}"
    ${IfNot} ${Errors}
      ${Break}
    ${EndIf}
    IntOp $2 $2 + 1
    ${If} $2 > ${END_WAIT_STEPS}
      ${Break}
    ${EndIf}
    Sleep 500
  ${Loop}
!macroend

Section "Corvantile" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  !insertmacro EndRunningCopy
  StrCpy $WasRunning $0
  !insertmacro DeleteWithRetries "$INSTDIR\Corvantile.exe"
  ${If} ${FileExists} "$INSTDIR\Corvantile.exe"
    MessageBox MB_OK|MB_ICONSTOP "Corvantile is still running and could not be replaced. \
        End it from its tray icon and run the setup again." /SD IDOK
    Abort
  ${EndIf}
  File "/oname=Corvantile.exe" "${EXE}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortCut "$SMPROGRAMS\Corvantile.lnk" "$INSTDIR\Corvantile.exe" "" \
      "$INSTDIR\Corvantile.exe" 0 SW_SHOWNORMAL "" "Corvantile: find and start things by typing"

  ${GetSize} "$INSTDIR" "/S=0K" $3 $4 $5
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Corvantile.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "the Corvantile developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $3
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section /o "Start with Windows" SecStartup
  CreateShortCut "$SMSTARTUP\Corvantile.lnk" "$INSTDIR\Corvantile.exe" "" \
      "$INSTDIR\Corvantile.exe" 0 SW_SHOWNORMAL
SectionEnd

; A copy that ran before an upgrade runs again afterwards, also in a silent install.
Section "-Restart"
  ${If} $WasRunning = 1
    Exec '"$INSTDIR\Corvantile.exe"'
  ${EndIf}
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "The program and its Start Menu shortcut."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecStartup} "Start Corvantile when you log on to Windows."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInit
  StrCpy $WasRunning 0
FunctionEnd

Section "Uninstall"
  !insertmacro EndRunningCopy
  !insertmacro DeleteWithRetries "$INSTDIR\Corvantile.exe"
  Delete "$SMPROGRAMS\Corvantile.lnk"
  Delete "$SMSTARTUP\Corvantile.lnk"
  Delete "$QUICKLAUNCH\Corvantile.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"

  ; Settings, index cache, log and crash reports are kept unless the user says otherwise; a
  ; silent uninstall keeps them.
  MessageBox MB_YESNO|MB_ICONQUESTION "Keep your Corvantile settings and index? \
      $\r$\n$\r$\nChoose Yes if you may install Corvantile again." /SD IDYES IDYES keep
    Delete "$INSTDIR\Corvantile.xml"
    Delete "$INSTDIR\Corvantile.xml.bak"
    Delete "$INSTDIR\Corvantile.xml.corrupt-*"
    Delete "$INSTDIR\Corvantile.cache"
    Delete "$INSTDIR\Corvantile.log"
    Delete "$INSTDIR\Corvantile.log.1"
    Delete "$INSTDIR\Corvantile.crash"
    Delete "$INSTDIR\Corvantile-crash-*.dmp"
    RMDir /r "$APPDATA\Corvantile"
  keep:
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
