; Rotamet's Windows installer and uninstaller, in Italian.
;
; By default it runs as the user who starts it (manifest asInvoker) and
; installs for that user only: the program under
; %LOCALAPPDATA%\Programs\Rotamet, the entry in the user's own Start menu, the
; uninstall entry under HKCU. For all users (Program Files, HKLM) the scope
; page offers the choice, or /ALLUSERS on the command line; only then is
; elevation asked for, by starting the installer again with "runas".
;   rotamet-<version>-win64.exe [/S] [/ALLUSERS | /CURRENTUSER] [/D=folder]
;
; The pumps the user keeps (pompe.csv in %LOCALAPPDATA%\Tachocalc) belong to
; the user, not to the program: neither an upgrade nor removal touches them.
;
; makensis gets these from packaging/windows/pack.cmake:
;   VERSION, STAGE (the installed tree), OUTFILE, ICON, WELCOME (164x314 BMP),
;   LICENCE, UNINSTALL_LIST (Delete/RMDir lines for the files of STAGE)

Unicode true
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include MUI2.nsh
!include nsDialogs.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include x64.nsh

!define PRODUCT "Rotamet"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Rotamet"
!define SHORTCUT "$SMPROGRAMS\Rotamet.lnk"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

Var AllUsers      ; 1: Program Files and HKLM; 0: the user's own folders
Var ScopeGiven    ; 1 when /ALLUSERS or /CURRENTUSER was on the command line
Var DirGiven      ; 1 when /D= chose the folder
Var RadioUser
Var RadioAll

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${WELCOME}"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${WELCOME}"
!define MUI_ABORTWARNING
!define MUI_UNABORTWARNING

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENCE}"
Page custom ScopePage ScopePageLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\rotamet.exe"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Italian"

; Scope: shell folders and the registry root (SHCTX) follow SetShellVarContext.
Function UseScope
  ${If} $AllUsers == 1
    SetShellVarContext all
  ${Else}
    SetShellVarContext current
  ${EndIf}
  ${If} $DirGiven != 1
    ; Over an earlier installation of the same scope: its folder.
    ReadRegStr $INSTDIR SHCTX "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $INSTDIR == ""
      ${If} $AllUsers == 1
        StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
      ${Else}
        StrCpy $INSTDIR "$LOCALAPPDATA\Programs\${PRODUCT}"
      ${EndIf}
    ${EndIf}
  ${EndIf}
FunctionEnd

; Pushes 1 when this process has an administrator's rights, else 0.
!macro IS_ADMIN_FUNCTION prefix
  Function ${prefix}IsAdmin
    UserInfo::GetAccountType
    Pop $0
    ${If} $0 == "Admin"
      Push 1
    ${Else}
      Push 0
    ${EndIf}
  FunctionEnd
!macroend
!insertmacro IS_ADMIN_FUNCTION ""
!insertmacro IS_ADMIN_FUNCTION "un."

; Stops when the program in the folder $R9 is open: Windows keeps a running
; program's files, so an upgrade would mix two versions and a removal would
; leave files behind. The user may close it and try again; otherwise (and
; in a silent run) nothing is changed and the run ends with an error.
!macro PROGRAM_CLOSED_FUNCTION prefix
  Function ${prefix}ProgramClosed
    retry:
      IfFileExists "$R9\rotamet.exe" 0 closed
      ClearErrors
      FileOpen $R8 "$R9\rotamet.exe" a
      IfErrors open
      FileClose $R8
      Goto closed
    open:
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT} è aperto. Chiuderlo, poi scegliere Riprova; Annulla interrompe senza cambiare nulla." /SD IDCANCEL IDRETRY retry
      Abort "${PRODUCT} è aperto: nulla è stato cambiato."
    closed:
  FunctionEnd
!macroend
!insertmacro PROGRAM_CLOSED_FUNCTION ""
!insertmacro PROGRAM_CLOSED_FUNCTION "un."

; For all users without an administrator's rights: the installer once more,
; elevated, with the same choices; this one ends.
Function ElevateForAllUsers
  Call IsAdmin
  Pop $0
  ${If} $0 == 1
    Return
  ${EndIf}
  StrCpy $1 "/ALLUSERS"
  ${If} ${Silent}
    StrCpy $1 "/S $1"
  ${EndIf}
  ${If} $DirGiven == 1
    StrCpy $1 "$1 /D=$INSTDIR"
  ${EndIf}
  ExecShellWait "runas" "$EXEPATH" "$1"
  ${IfNot} ${Errors}
    Quit
  ${EndIf}
  ${IfNot} ${Silent}
    MessageBox MB_ICONSTOP|MB_OK "L'installazione per tutti gli utenti richiede i diritti di amministratore."
  ${EndIf}
  SetErrorLevel 5
  Quit
FunctionEnd

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_ICONSTOP|MB_OK "${PRODUCT} richiede Windows a 64 bit." /SD IDOK
    Abort
  ${EndIf}
  SetRegView 64
  StrCpy $DirGiven 0
  ${If} $INSTDIR != ""
    StrCpy $DirGiven 1
  ${EndIf}
  StrCpy $AllUsers 0
  StrCpy $ScopeGiven 0
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/ALLUSERS" $R1
  ${IfNot} ${Errors}
    StrCpy $AllUsers 1
    StrCpy $ScopeGiven 1
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/CURRENTUSER" $R1
  ${IfNot} ${Errors}
    StrCpy $AllUsers 0
    StrCpy $ScopeGiven 1
  ${EndIf}
  Call UseScope
  ${If} $AllUsers == 1
    Call ElevateForAllUsers
  ${EndIf}
FunctionEnd

Function ScopePage
  ${If} $ScopeGiven == 1
    Abort
  ${EndIf}
  !insertmacro MUI_HEADER_TEXT "Tipo di installazione" "Scegliere per chi installare ${PRODUCT}."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 24u "${PRODUCT} può essere installato solo per l'utente attuale, senza diritti di amministratore, oppure per tutti gli utenti di questo computer."
  Pop $0
  ReadEnvStr $1 USERNAME
  ${NSD_CreateRadioButton} 10u 34u 100% 12u "Solo per me ($1)"
  Pop $RadioUser
  ${NSD_CreateRadioButton} 10u 52u 100% 12u "Per tutti gli utenti (richiede i diritti di amministratore)"
  Pop $RadioAll
  ${If} $AllUsers == 1
    ${NSD_Check} $RadioAll
  ${Else}
    ${NSD_Check} $RadioUser
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function ScopePageLeave
  ${NSD_GetState} $RadioAll $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $AllUsers 1
  ${Else}
    StrCpy $AllUsers 0
  ${EndIf}
  Call UseScope
  ${If} $AllUsers == 1
    Call ElevateForAllUsers
  ${EndIf}
FunctionEnd

Section "Rotamet"
  SetRegView 64
  ; An earlier installation of this scope goes first, by its own uninstaller,
  ; run in place: it removes the files it installed (so none that this
  ; version no longer has stays behind), its Start-menu entry and its
  ; uninstall entry. It never touches the user's pumps.
  ReadRegStr $0 SHCTX "${UNINSTALL_KEY}" "InstallLocation"
  StrCpy $R9 $INSTDIR
  Call ProgramClosed
  ${If} $0 != ""
    StrCpy $R9 $0
    Call ProgramClosed
  ${EndIf}
  ${If} $0 != ""
  ${AndIf} ${FileExists} "$0\Uninstall.exe"
    ExecWait '"$0\Uninstall.exe" /S _?=$0'
    Delete "$0\Uninstall.exe"
    RMDir "$0"
  ${EndIf}

  SetOutPath "$INSTDIR"
  File /r "${STAGE}/*.*"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  SetOutPath "$INSTDIR"
  CreateShortCut "${SHORTCUT}" "$INSTDIR\rotamet.exe" "" "$INSTDIR\rotamet.exe" 0

  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\rotamet.exe,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

; The uninstaller: all users when the HKLM entry names its folder, else the
; user's own scope.
Function un.onInit
  SetRegView 64
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    SetShellVarContext all
    Call un.IsAdmin
    Pop $1
    ${If} $1 != 1
      ${IfNot} ${Silent}
        MessageBox MB_ICONSTOP|MB_OK "${PRODUCT} è installato per tutti gli utenti: per rimuoverlo servono i diritti di amministratore."
      ${EndIf}
      SetErrorLevel 5
      Quit
    ${EndIf}
  ${Else}
    SetShellVarContext current
  ${EndIf}
FunctionEnd

Section "Uninstall"
  SetRegView 64
  StrCpy $R9 $INSTDIR
  Call un.ProgramClosed
  ; The files this version installed, one by one: a folder chosen by the
  ; user may hold files of their own.
  !include "${UNINSTALL_LIST}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  Delete "${SHORTCUT}"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
