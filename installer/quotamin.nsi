; The Quotamin installer. It saves the administrator password for the whole
; computer, puts the program file into Program Files and starts it in every
; user's desktop session through the all-users Run key
; (HKLM\Software\Microsoft\Windows\CurrentVersion\Run); the uninstaller removes
; the program and the Run key. The settings, the password file and the log are
; the administrator's and stay where they are.
;
; The password file is written by a helper built from the program's own
; password store (PASSWORD_SETTER), which the installer carries inside itself
; and runs from its temporary plug-in folder. A silent install takes the
; password from the option /PASSWORD= (before /D=, which NSIS wants last).
;
;   makensis -DPROGRAM=<diduvavi.exe> -DPASSWORD_SETTER=<password_setter.exe>
;            -DOUTFILE=<setup.exe> [-DWIN64] quotamin.nsi
;
; WIN64 makes a 64-bit installer of a 64-bit build of the program, for
; Windows hosts (such as Wine on a 64-bit-only kernel) that run no 32-bit code.

!ifndef PROGRAM
    !error "define PROGRAM, the program file to install"
!endif
!ifndef PASSWORD_SETTER
    !error "define PASSWORD_SETTER, the helper that saves the administrator password"
!endif
!ifndef OUTFILE
    !error "define OUTFILE, the installer to write"
!endif

!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quotamin"
!define VERSION "1.0.2.1"
; The file every session reads, in the real Windows directory.
!define PASSWORD_FILE "$WINDIR\qm-password.dat"
!define PASSWORD_OPTION "/PASSWORD="
; NSIS holds texts of up to NSIS_MAX_STRLEN characters with their end.
!define /math PASSWORD_MAX_LENGTH ${NSIS_MAX_STRLEN} - 1

!include FileFunc.nsh
!include LogicLib.nsh
!include nsDialogs.nsh
!include TextFunc.nsh

Unicode true
!ifdef WIN64
    Target amd64-unicode
    InstallDir "$PROGRAMFILES64\Quotamin"
!else
    InstallDir "$PROGRAMFILES\Quotamin"
!endif

Name "Quotamin"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "Quotamin"
VIAddVersionKey /LANG=1033 "FileDescription" "Quotamin installer"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Quotamin"

Page directory
PageEx custom
    Caption ": Administrator password"
    PageCallbacks PasswordPage PasswordPageLeave
PageExEnd
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; What the install does about the password file: "keep" the one there, "none"
; (a silent install without the option and without a file), "set" it to
; $NewPassword, or "too long" for an option longer than the installer can hold.
Var PasswordChoice
Var NewPassword
Var KeepBox
Var NewBox
Var RepeatBox
; The installer's log, install.log in the program's folder: what the install
; did, readable after a silent one too.
Var Log

!macro Report text
    DetailPrint "${text}"
    FileWrite $Log "${text}$\r$\n"
!macroend

Function .onInit
    !ifdef WIN64
        SetRegView 64
    !endif
    StrCpy $PasswordChoice "none"
    ${If} ${FileExists} "${PASSWORD_FILE}"
        StrCpy $PasswordChoice "keep"
    ${EndIf}
    Call ReadPasswordOption
FunctionEnd

; /PASSWORD=<text> sets the password: one argument, split from the others by
; Windows' usual rules (quotes around what holds spaces, \" for a quote
; itself), so "/PASSWORD=two words" and /PASSWORD="two words" give the same.
Function ReadPasswordOption
    System::Call 'kernel32::GetCommandLineW() p .r0'
    System::Call 'shell32::CommandLineToArgvW(p r0, *i .r1) p .r2'
    ${If} $2 P= 0
        Return
    ${EndIf}
    StrLen $3 "${PASSWORD_OPTION}"
    IntOp $1 $1 - 1
    ${For} $4 1 $1
        IntPtrOp $5 $4 * ${NSIS_PTR_SIZE}
        IntPtrOp $5 $2 + $5
        System::Call '*$5(p .r6)'
        System::Call 'shlwapi::StrCmpNIW(p r6, w "${PASSWORD_OPTION}", i r3) i .r7'
        ${If} $7 = 0
            ; The text after the option's name, two bytes a character.
            IntPtrOp $6 $6 + $3
            IntPtrOp $6 $6 + $3
            System::Call 'kernel32::lstrlenW(p r6) i .r7'
            ${If} $7 > ${PASSWORD_MAX_LENGTH}
                StrCpy $PasswordChoice "too long"
            ${Else}
                System::Call 'kernel32::lstrcpynW(w .r8, p r6, i ${NSIS_MAX_STRLEN})'
                StrCpy $NewPassword $8
                StrCpy $PasswordChoice "set"
            ${EndIf}
            ${ExitFor}
        ${EndIf}
    ${Next}
    System::Call 'kernel32::LocalFree(p r2)'
FunctionEnd

Function PasswordPage
    nsDialogs::Create 1018
    Pop $0
    ${NSD_CreateLabel} 0 0 100% 40u "Quotamin's administration opens with the administrator password. The installer saves it for the whole computer, so that every user's session asks for it instead of the initial password. Letter case does not count when it is typed to log in."
    Pop $0
    StrCpy $KeepBox ""
    ${If} ${FileExists} "${PASSWORD_FILE}"
        ${NSD_CreateCheckBox} 0 44u 100% 12u "&Keep the administrator password already set on this computer"
        Pop $KeepBox
        ${NSD_OnClick} $KeepBox PasswordKeepClicked
        ${If} $PasswordChoice == "keep"
            ${NSD_Check} $KeepBox
        ${EndIf}
    ${EndIf}
    ${NSD_CreateLabel} 0 70u 80u 12u "New password"
    Pop $0
    ${NSD_CreatePassword} 84u 68u 160u 12u "$NewPassword"
    Pop $NewBox
    ${NSD_CreateLabel} 0 90u 80u 12u "Repeat new password"
    Pop $0
    ${NSD_CreatePassword} 84u 88u 160u 12u "$NewPassword"
    Pop $RepeatBox
    ; Longer texts would be cut without a word.
    ${NSD_Edit_SetTextLimit} $NewBox ${PASSWORD_MAX_LENGTH}
    ${NSD_Edit_SetTextLimit} $RepeatBox ${PASSWORD_MAX_LENGTH}
    Call PasswordKeepClicked
    nsDialogs::Show
FunctionEnd

; The fields are for a new password only.
Function PasswordKeepClicked
    StrCpy $0 ${BST_UNCHECKED}
    ${If} $KeepBox != ""
        ${NSD_GetState} $KeepBox $0
    ${EndIf}
    ${If} $0 == ${BST_CHECKED}
        EnableWindow $NewBox 0
        EnableWindow $RepeatBox 0
    ${Else}
        EnableWindow $NewBox 1
        EnableWindow $RepeatBox 1
    ${EndIf}
FunctionEnd

; The change-password dialog's rules: the two texts alike, letter case
; counting, and not blank.
Function PasswordPageLeave
    ${If} $KeepBox != ""
        ${NSD_GetState} $KeepBox $0
        ${If} $0 == ${BST_CHECKED}
            StrCpy $PasswordChoice "keep"
            Return
        ${EndIf}
    ${EndIf}
    ${NSD_GetText} $NewBox $1
    ${NSD_GetText} $RepeatBox $2
    ${If} $1 S!= $2
        MessageBox MB_OK "The new password did not match the repeated new password"
        Abort
    ${EndIf}
    ${If} $1 == ""
        MessageBox MB_OK "The new password cannot be blank"
        Abort
    ${EndIf}
    StrCpy $NewPassword $1
    StrCpy $PasswordChoice "set"
FunctionEnd

; Reports $0 and stops the install before anything of the program is in place.
Function FailInstall
    !insertmacro Report "$0"
    FileClose $Log
    MessageBox MB_OK|MB_ICONSTOP "$0" /SD IDOK
    SetErrorLevel 2
    Abort
FunctionEnd

; The helper finds the password in its environment, which, unlike its command
; line, no other user can read.
Function SavePassword
    InitPluginsDir
    File "/oname=$PLUGINSDIR\password_setter.exe" "${PASSWORD_SETTER}"
    Push $NewPassword
    System::Call 'kernel32::SetEnvironmentVariableW(w "QUOTAMIN_NEW_PASSWORD", w s) i'
    nsExec::ExecToStack '"$PLUGINSDIR\password_setter.exe"'
    Pop $0
    Pop $1
    System::Call 'kernel32::SetEnvironmentVariableW(w "QUOTAMIN_NEW_PASSWORD", p 0) i'
    StrCpy $NewPassword ""
    Delete "$PLUGINSDIR\password_setter.exe"
    ${TrimNewLines} $1 $1
    ${If} $0 == 0
        !insertmacro Report "The administrator password is saved in $1."
    ${Else}
        StrCpy $0 "The administrator password could not be saved ($1). Nothing is installed."
        Call FailInstall
    ${EndIf}
FunctionEnd

Function un.onInit
    !ifdef WIN64
        SetRegView 64
    !endif
FunctionEnd

; First, so that a password that cannot be saved stops the install before the
; program can start with the initial password.
Section "-Administrator password"
    SetOutPath "$INSTDIR"
    FileOpen $Log "$INSTDIR\install.log" w
    ${If} $PasswordChoice == "keep"
        !insertmacro Report "The administrator password already set in ${PASSWORD_FILE} is kept."
    ${ElseIf} $PasswordChoice == "none"
        !insertmacro Report "No administrator password was given (${PASSWORD_OPTION}): no password file is written, and the initial password stays in force until it is changed in the program."
    ${ElseIf} $PasswordChoice == "too long"
        StrCpy $0 "The password of the option ${PASSWORD_OPTION} is longer than ${PASSWORD_MAX_LENGTH} characters. Nothing is installed."
        Call FailInstall
    ${ElseIf} $NewPassword == ""
        StrCpy $0 "The new password cannot be blank. Nothing is installed."
        Call FailInstall
    ${Else}
        Call SavePassword
    ${EndIf}
SectionEnd

Section "Quotamin"
    SetOutPath "$INSTDIR"
    File "/oname=diduvavi.exe" "${PROGRAM}"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    ; Every user's session starts the program when the user logs on.
    WriteRegStr HKLM "${RUN_KEY}" "Quotamin" '"$INSTDIR\diduvavi.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Quotamin"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    !insertmacro Report "Quotamin is installed in $INSTDIR and starts in every user's session at log-on."
    FileClose $Log
SectionEnd

Section "Uninstall"
    DeleteRegValue HKLM "${RUN_KEY}" "Quotamin"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    ; A copy still running in a session keeps its file until the next restart.
    Delete /REBOOTOK "$INSTDIR\diduvavi.exe"
    Delete "$INSTDIR\uninstall.exe"
    Delete "$INSTDIR\install.log"
    ; The password file stays, as the settings do: a reinstall keeps it.
    RMDir /REBOOTOK "$INSTDIR"
SectionEnd
