; The Quotamin installer. It puts the program file into Program Files and
; starts it in every user's desktop session through the all-users Run key
; (HKLM\Software\Microsoft\Windows\CurrentVersion\Run); the uninstaller removes
; both. The settings, the password file and the log are the administrator's
; and stay where they are.
;
;   makensis -DPROGRAM=<diduvavi.exe> -DOUTFILE=<setup.exe> [-DWIN64] quotamin.nsi
;
; WIN64 makes a 64-bit installer of a 64-bit build of the program, for
; Windows hosts (such as Wine on a 64-bit-only kernel) that run no 32-bit code.

!ifndef PROGRAM
    !error "define PROGRAM, the program file to install"
!endif
!ifndef OUTFILE
    !error "define OUTFILE, the installer to write"
!endif

!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quotamin"
!define VERSION "1.0.2.1"

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
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
    !ifdef WIN64
        SetRegView 64
    !endif
FunctionEnd

Function un.onInit
    !ifdef WIN64
        SetRegView 64
    !endif
FunctionEnd

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
SectionEnd

Section "Uninstall"
    DeleteRegValue HKLM "${RUN_KEY}" "Quotamin"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    ; A copy still running in a session keeps its file until the next restart.
    Delete /REBOOTOK "$INSTDIR\diduvavi.exe"
    Delete "$INSTDIR\uninstall.exe"
    RMDir /REBOOTOK "$INSTDIR"
SectionEnd
