; The installer: per-user or all-users, Start-menu entry, an optional start with Windows
; in the tray, an uninstaller in Add/Remove Programs. tools/package defines VERSION,
; STAGE (the folder to install, as unzipped), FILES and UNFILES (generated lists of that
; folder's files) and OUTFILE.
Unicode true
; A 64-bit installer for a 64-bit program (and Wine without 32-bit support runs it too).
Target amd64-unicode
SetCompressor /SOLID lzma

!define APPNAME "Zevaver MIDI Keyboard"
!define EXENAME "MIDIKeyboard.exe"
!define COMPANY "Zevaver"
!define UNINSTKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ZevaverMIDIKeyboard"
!define SETTINGSKEY "Software\Zevaver\MIDI Keyboard"
!define RUNKEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define MAINCLASS "TKeysForm"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_INSTDIR "${APPNAME}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINSTKEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallMode"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTKEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!include MultiUser.nsh
!include MUI2.nsh
!include LogicLib.nsh
!include x64.nsh
!include FileFunc.nsh

Name "${APPNAME}"
OutFile "${OUTFILE}"
BrandingText "${APPNAME} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${APPNAME}"
VIAddVersionKey "CompanyName" "${COMPANY}"
VIAddVersionKey "FileDescription" "${APPNAME} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "MIT License"

!ifdef ICON
  !define MUI_ICON "${ICON}"
  !define MUI_UNICON "${ICON}"
!endif
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXENAME}"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\MIDIKeyboard.html"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Read the user guide"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED

!insertmacro MUI_PAGE_LICENSE "${STAGE}/LICENSE.txt"
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Asks a running copy to close (it saves its settings as it goes) and waits for its
; process to end, so that no file in use is left half replaced.
!macro StopRunningCopy un
Function ${un}StopRunningCopy
  StrCpy $1 0
  ${Do}
    FindWindow $0 "${MAINCLASS}" ""
    ${If} $0 == 0
      ${Break}
    ${EndIf}
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r2)'
    System::Call 'kernel32::OpenProcess(i 0x100000, i 0, i r2) p .r3' ; SYNCHRONIZE
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    ${If} $3 P<> 0
      System::Call 'kernel32::WaitForSingleObject(p r3, i 15000) i .r4'
      System::Call 'kernel32::CloseHandle(p r3)'
    ${Else}
      Sleep 1000
    ${EndIf}
    IntOp $1 $1 + 1
    ${If} $1 > 3
      MessageBox MB_OK|MB_ICONEXCLAMATION "Please close ${APPNAME} and try again." /SD IDOK
      Abort
    ${EndIf}
  ${Loop}
FunctionEnd
!macroend
!insertmacro StopRunningCopy ""
!insertmacro StopRunningCopy "un."

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_OK|MB_ICONSTOP "${APPNAME} needs a 64-bit Windows." /SD IDOK
    Abort
  ${EndIf}
  SetRegView 64
  ; The install mode picks the default folder; a folder given with /D still wins.
  StrCpy $2 $INSTDIR
  !insertmacro MULTIUSER_INIT
  ${If} $2 != ""
    StrCpy $INSTDIR $2
  ${EndIf}
FunctionEnd

Function un.onInit
  SetRegView 64
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

Section "${APPNAME}" SecProgram
  SectionIn RO
  Call StopRunningCopy
  SetOutPath "$INSTDIR"
  !include "${FILES}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateShortcut "$SMPROGRAMS\${APPNAME}.lnk" "$INSTDIR\${EXENAME}" "" "$INSTDIR\${EXENAME}" 0

  WriteRegStr SHCTX "${UNINSTKEY}" "DisplayName" "${APPNAME}"
  WriteRegStr SHCTX "${UNINSTKEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTKEY}" "Publisher" "${COMPANY}"
  WriteRegStr SHCTX "${UNINSTKEY}" "DisplayIcon" "$INSTDIR\${EXENAME}"
  WriteRegStr SHCTX "${UNINSTKEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTKEY}" "InstallMode" "$MultiUser.InstallMode"
  WriteRegStr SHCTX "${UNINSTKEY}" "UninstallString" '"$INSTDIR\Uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTKEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTKEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTKEY}" "NoRepair" 1
  WriteRegDWORD SHCTX "${UNINSTKEY}" "EstimatedSize" ${SIZEKB}
SectionEnd

; Off unless chosen: a per-user entry that starts the program in the notification area.
Section /o "Start with Windows in the tray" SecAutostart
  WriteRegStr HKCU "${RUNKEY}" "${APPNAME}" '"$INSTDIR\${EXENAME}" /M'
SectionEnd

Section "Uninstall"
  Call un.StopRunningCopy
  !include "${UNFILES}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${APPNAME}.lnk"
  DeleteRegValue HKCU "${RUNKEY}" "${APPNAME}"
  DeleteRegKey SHCTX "${UNINSTKEY}"
  ; A silent uninstall keeps the settings, so a reinstall finds them again, unless it is
  ; given /RemoveSettings.
  ${un.GetParameters} $0
  ClearErrors
  ${un.GetOptions} $0 "/RemoveSettings" $1
  ${IfNot} ${Errors}
    Goto remove
  ${EndIf}
  MessageBox MB_YESNO|MB_ICONQUESTION "Remove your ${APPNAME} settings too?" /SD IDNO IDNO keep
  remove:
    DeleteRegKey HKCU "${SETTINGSKEY}"
    DeleteRegKey /ifempty HKCU "Software\${COMPANY}"
  keep:
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "The program, its layouts, skins and user guide."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecAutostart} "Starts ${APPNAME} in the notification area when you sign in."
!insertmacro MUI_FUNCTION_DESCRIPTION_END
