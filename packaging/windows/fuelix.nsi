; The Windows installer: the program, a Start-menu entry, an uninstaller and an entry in the
; system's list of installed programs, for all users.
;   makensis -DEXE=path\fuelix.exe -DICON=path\fuelix.ico -DOUTFILE=setup.exe -DVERSION=1.1.1
Unicode true
Target amd64-unicode ; a 64-bit installer for the 64-bit program
!define KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Fuelix"
Name "Fuelix"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Fuelix"
RequestExecutionLevel admin
Icon "${ICON}"
UninstallIcon "${ICON}"
SetCompressor /SOLID lzma
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section
    SetShellVarContext all ; the Start-menu entry is every user's, as the program is
    SetOutPath "$INSTDIR"
    File "${EXE}"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateDirectory "$SMPROGRAMS\Fuelix"
    CreateShortcut "$SMPROGRAMS\Fuelix\Fuelix.lnk" "$INSTDIR\fuelix.exe"
    WriteRegStr HKLM "${KEY}" "DisplayName" "Fuelix"
    WriteRegStr HKLM "${KEY}" "DisplayVersion" "${VERSION}" ; as About and the installer give it
    WriteRegStr HKLM "${KEY}" "Publisher" "Fuelix developers"
    WriteRegStr HKLM "${KEY}" "DisplayIcon" "$INSTDIR\fuelix.exe"
    WriteRegStr HKLM "${KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetShellVarContext all
    Delete "$SMPROGRAMS\Fuelix\Fuelix.lnk"
    RMDir "$SMPROGRAMS\Fuelix"
    Delete "$INSTDIR\fuelix.exe"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${KEY}"
SectionEnd
