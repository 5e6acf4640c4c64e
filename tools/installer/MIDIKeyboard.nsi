; The installer: per-user or all-users, Start-menu entries for the program and its guide,
; an optional start with Windows in the tray, an uninstaller in Add/Remove Programs.
; tools/package defines VERSION, STAGE (the folder to install, as unzipped), FILES and
; UNFILES (generated lists of that folder's files), GUIDE (the guide's file name in it)
; and OUTFILE.
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
!include Sections.nsh
!include WinMessages.nsh

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
; The description under the list, so the list has the page's width for its labels.
!define MUI_COMPONENTSPAGE_SMALLDESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXENAME}"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\${GUIDE}"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Read the user guide"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED

!insertmacro MUI_PAGE_LICENSE "${STAGE}/LICENSE.txt"
!define MULTIUSER_PAGE_CUSTOMFUNCTION_LEAVE KeepGivenFolder
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishShow
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The folder given with /D, which the install mode page must not replace.
Var GivenFolder

; How the copy that the installer closed was running, to start it again the same way:
; "" (none ran), "window" or "tray".
Var Restart

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
    !if "${un}" == ""
      ; The program hides its main window while it sits in the notification area.
      ${If} $Restart == ""
        System::Call 'user32::IsWindowVisible(p r0) i .r5'
        StrCpy $Restart "tray"
        ${If} $5 <> 0
          StrCpy $Restart "window"
        ${EndIf}
      ${EndIf}
    !endif
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
  StrCpy $GivenFolder $INSTDIR
  !insertmacro MULTIUSER_INIT
  Call KeepGivenFolder
  Call PreselectAutostart
FunctionEnd

Function KeepGivenFolder
  ${If} $GivenFolder != ""
    StrCpy $INSTDIR $GivenFolder
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
  CreateShortcut "$SMPROGRAMS\${APPNAME} User Guide.lnk" "$INSTDIR\${GUIDE}"

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

Section "-Finish"
  ; Left unticked on a reinstall: the earlier install's entry goes.
  ${IfNot} ${SectionIsSelected} ${SecAutostart}
    DeleteRegValue HKCU "${RUNKEY}" "${APPNAME}"
  ${EndIf}
  ; The copy closed for the update comes back as it was; the new files are in place now.
  ${If} $Restart == "tray"
    Exec '"$INSTDIR\${EXENAME}" /M'
  ${ElseIf} $Restart == "window"
    Exec '"$INSTDIR\${EXENAME}"'
  ${EndIf}
SectionEnd

; A reinstall offers what is installed: the autostart ticked when its entry exists, so a
; silent update keeps it too.
Function PreselectAutostart
  ClearErrors
  ReadRegStr $0 HKCU "${RUNKEY}" "${APPNAME}"
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecAutostart}
  ${EndIf}
FunctionEnd

; A program started again for the update already runs: the finish page offers no second start.
Function FinishShow
  ${If} $Restart != ""
    SendMessage $mui.FinishPage.Run ${BM_SETCHECK} ${BST_UNCHECKED} 0
    ShowWindow $mui.FinishPage.Run ${SW_HIDE}
    ; The guide's box moves up into the gap (0x15: no new size, no z-order change, no activation).
    System::Call '*(i, i, i, i) p .r1'
    System::Call 'user32::GetWindowRect(p $mui.FinishPage.Run, p r1)'
    System::Call 'user32::MapWindowPoints(p 0, p $mui.FinishPage, p r1, i 2)'
    System::Call '*$1(i .r2, i .r3)'
    System::Free $1
    System::Call 'user32::SetWindowPos(p $mui.FinishPage.ShowReadme, p 0, i r2, i r3, i 0, i 0, i 0x15)'
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Call un.StopRunningCopy
  !include "${UNFILES}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${APPNAME}.lnk"
  Delete "$SMPROGRAMS\${APPNAME} User Guide.lnk"
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
  ; No is the default button: Enter keeps the settings.
  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "Remove your ${APPNAME} settings too?" /SD IDNO IDNO keep
  remove:
    DeleteRegKey HKCU "${SETTINGSKEY}"
    DeleteRegKey /ifempty HKCU "Software\${COMPANY}"
  keep:
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "The program, its layouts, skins and user guide."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecAutostart} "Starts ${APPNAME} in the notification area when you sign in."
!insertmacro MUI_FUNCTION_DESCRIPTION_END
