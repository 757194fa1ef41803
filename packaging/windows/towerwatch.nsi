; The Towerwatch installer, made on Debian with makensis:
;   makensis -DVERSION=1.0.1 -DHOME_PAGE=<url> -DEXE=<towerwatch.exe> -DICON=<towerwatch.ico>
;            -DOUTFILE=<setup.exe> towerwatch.nsi
; For the current user by default, without administrator rights, in
; %LOCALAPPDATA%\Programs\Towerwatch; run as administrator it offers all users (Program Files).
; Silent: /S, with /AllUsers for all users (as administrator) and /D=<folder> for another folder.
; The uninstaller keeps the player's logs and settings unless "Also remove my history and
; settings" is ticked (silent: /RemoveHistory).

; The program is 64-bit only, and so is the installer (a 64-bit Wine runs it too).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include nsDialogs.nsh
!include Win\COM.nsh
!include Win\Propkey.nsh

!define APP "Towerwatch"
!define APP_ID "net.vexlor.Towerwatch"
!define PUBLISHER "Vexlor"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Towerwatch"
!define SETTINGS_KEY "Software\Vexlor\Towerwatch"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"

Name "${APP}"
OutFile "${OUTFILE}"
BrandingText "${APP} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${APP}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${APP} installer"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\towerwatch.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${APP} now"

Var AllUsers        ; 1: for everyone on this computer
Var IsAdmin
Var ModeForEveryone
Var RemoveHistory   ; uninstaller: 1 when the history and settings go too

Page custom ModePage ModePageLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
UninstPage custom un.KeepPage un.KeepPageLeave
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Asks every running copy to end, through the message its one-copy window answers, and
; waits until none is left; a copy that stays is reported and the run stops.
!macro CLOSE_RUNNING_COPIES un
Function ${un}CloseRunningCopies
  System::Call 'user32::RegisterWindowMessageW(w "Towerwatch.ShowYourself") i.r1'
  StrCpy $2 0
  again:
    System::Call 'user32::FindWindowExW(p -3, p 0, w "TowerwatchInstance", p 0) p.r0'
    ${If} $0 P= 0
      Return
    ${EndIf}
    ${If} $2 = 0
      DetailPrint "Asking the running ${APP} to close"
    ${EndIf}
    System::Call 'user32::PostMessageW(p r0, i r1, p 1, p 0)'
    Sleep 200
    IntOp $2 $2 + 1
    IntCmp $2 50 0 again 0
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${APP} is still running. Close it, then choose Retry." \
    /SD IDCANCEL IDRETRY retry
  Abort
  retry:
    StrCpy $2 0
    Goto again
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_COPIES ""
!insertmacro CLOSE_RUNNING_COPIES "un."

Function SetMode
  ${If} $AllUsers = 1
    SetShellVarContext all
  ${Else}
    SetShellVarContext current
  ${EndIf}
FunctionEnd

Function .onInit
  StrCpy $AllUsers 0
  UserInfo::GetAccountType
  Pop $IsAdmin
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/AllUsers" $R1
  ${IfNot} ${Errors}
  ${AndIf} $IsAdmin == "Admin"
    StrCpy $AllUsers 1
  ${EndIf}
  Call SetMode
  ; /D= sets the folder before this runs; else an earlier installation's, else the default.
  ${If} $INSTDIR == ""
    ReadRegStr $INSTDIR SHCTX "${UNINSTALL_KEY}" "InstallLocation"
  ${EndIf}
  ${If} $INSTDIR == ""
    ${If} $AllUsers = 1
      StrCpy $INSTDIR "$PROGRAMFILES64\${APP}"
    ${Else}
      StrCpy $INSTDIR "$LOCALAPPDATA\Programs\${APP}"
    ${EndIf}
  ${EndIf}
FunctionEnd

; Only an administrator is asked whether the program is for everyone.
Function ModePage
  ${If} $IsAdmin != "Admin"
    Abort
  ${EndIf}
  !insertmacro MUI_HEADER_TEXT "Who uses ${APP}" "Install it for yourself or for everyone on this computer."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateRadioButton} 0 10u 100% 12u "Just for me"
  Pop $1
  ${NSD_CreateRadioButton} 0 28u 100% 12u "For everyone on this computer (Program Files)"
  Pop $ModeForEveryone
  ${If} $AllUsers = 1
    ${NSD_Check} $ModeForEveryone
  ${Else}
    ${NSD_Check} $1
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function ModePageLeave
  ${NSD_GetState} $ModeForEveryone $0
  ${If} $0 = ${BST_CHECKED}
    ${If} $AllUsers = 0
      StrCpy $INSTDIR "$PROGRAMFILES64\${APP}"
    ${EndIf}
    StrCpy $AllUsers 1
  ${Else}
    ${If} $AllUsers = 1
      StrCpy $INSTDIR "$LOCALAPPDATA\Programs\${APP}"
    ${EndIf}
    StrCpy $AllUsers 0
  ${EndIf}
  Call SetMode
FunctionEnd

; The Start menu shortcut, carrying the program's application user model id.
Function MakeShortcut
  !insertmacro ComHlpr_CreateInProcInstance ${CLSID_ShellLink} ${IID_IShellLink} r0 ""
  ${If} $0 P<> 0
    ${IShellLink::SetPath} $0 '("$INSTDIR\towerwatch.exe").r1'
    ${IShellLink::SetWorkingDirectory} $0 '("$INSTDIR").r2'
    ${IShellLink::SetIconLocation} $0 '("$INSTDIR\towerwatch.exe",0)'
    ${IShellLink::SetDescription} $0 '("Watches the realm war").r3'
    ${IUnknown::QueryInterface} $0 '("${IID_IPropertyStore}",.r1)'
    ${If} $1 P<> 0
      System::Call '*${SYSSTRUCT_PROPERTYKEY}(${PKEY_AppUserModel_ID})p.r2'
      System::Call '*${SYSSTRUCT_PROPVARIANT}(${VT_LPWSTR},,w "${APP_ID}")p.r3'
      ${IPropertyStore::SetValue} $1 '($2,$3)'
      System::Free $2
      System::Free $3
      ${IPropertyStore::Commit} $1 ""
      ${IUnknown::Release} $1 ""
    ${EndIf}
    ${IUnknown::QueryInterface} $0 '("${IID_IPersistFile}",.r1)'
    ${If} $1 P<> 0
      ${IPersistFile::Save} $1 '("$SMPROGRAMS\${APP}.lnk",1)'
      ${IUnknown::Release} $1 ""
    ${EndIf}
    ${IUnknown::Release} $0 ""
  ${EndIf}
  ${IfNot} ${FileExists} "$SMPROGRAMS\${APP}.lnk"
    CreateShortcut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\towerwatch.exe"
  ${EndIf}
FunctionEnd

Section "Towerwatch"
  SectionIn RO
  Call CloseRunningCopies
  SetOutPath "$INSTDIR"
  File "/oname=towerwatch.exe" "${EXE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  Call MakeShortcut

  StrCpy $0 ""
  ${If} $AllUsers = 1
    StrCpy $0 " /AllUsers"
  ${EndIf}
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${APP}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\towerwatch.exe,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "URLInfoAbout" "${HOME_PAGE}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"$0'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S$0'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/M=towerwatch.exe /S=0K /G=0" $1 $2 $3
  IntOp $1 $1 + 60  ; the uninstaller
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $1
SectionEnd

; --- the uninstaller ---

Function un.onInit
  StrCpy $AllUsers 0
  StrCpy $RemoveHistory 0
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/AllUsers" $R1
  ${IfNot} ${Errors}
    StrCpy $AllUsers 1
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/RemoveHistory" $R1
  ${IfNot} ${Errors}
    StrCpy $RemoveHistory 1
  ${EndIf}
  ${If} $AllUsers = 1
    SetShellVarContext all
  ${Else}
    SetShellVarContext current
  ${EndIf}
FunctionEnd

Function un.KeepPage
  !insertmacro MUI_HEADER_TEXT "Your history" "Your logs and settings stay unless you choose otherwise."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 24u "The logs of ownership changes and your settings are kept, so a later installation takes them up again."
  Pop $0
  ${NSD_CreateCheckbox} 0 32u 100% 12u "Also remove my history and settings"
  Pop $1
  ${If} $RemoveHistory = 1
    ${NSD_Check} $1
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function un.KeepPageLeave
  ${NSD_GetState} $1 $0
  ${If} $0 = ${BST_CHECKED}
    StrCpy $RemoveHistory 1
  ${Else}
    StrCpy $RemoveHistory 0
  ${EndIf}
FunctionEnd

; What the program writes in its folder: the cached document, the location list, one log per
; monitored server, and what a killed copy left of a rewrite.
!macro REMOVE_PROGRAM_FILES folder
  Delete "${folder}\server-info.xml"
  Delete "${folder}\towerwatchlocations.txt"
  Delete "${folder}\*.log"
  Delete "${folder}\*.tw-temp.*"
!macroend

Section "un.Towerwatch"
  Call un.CloseRunningCopies
  Delete "$INSTDIR\towerwatch.exe"
  Delete "$INSTDIR\uninstall.exe"
  Delete "$SMPROGRAMS\${APP}.lnk"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
  ; Starting with Windows is the player's own choice, and it ends with the program.
  DeleteRegValue HKCU "${RUN_KEY}" "${APP}"
  ${If} $RemoveHistory = 1
    !insertmacro REMOVE_PROGRAM_FILES "$INSTDIR"
    ; A program folder that cannot be written to keeps its files in the player's own folder.
    SetShellVarContext current
    !insertmacro REMOVE_PROGRAM_FILES "$LOCALAPPDATA\${APP}"
    RMDir "$LOCALAPPDATA\${APP}"
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "Software\Vexlor"
  ${EndIf}
  RMDir "$INSTDIR"  ; only when nothing of the player's is left in it
SectionEnd
