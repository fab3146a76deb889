; The Pinora installer: a per-user install that needs no administrator rights.
; Pinora keeps its users' notes in its own folder, so it goes into a folder the
; user can write (%LOCALAPPDATA%\Programs\Pinora by default), and neither an
; upgrade nor an uninstall touches those notes unless the user asks for it.
;
; packaging/package.sh runs makensis with:
;   VERSION   the one version (project(VERSION) in CMakeLists.txt)
;   SOURCE    the stripped program folder to ship
;   FILES     generated script: the File lines of the program files
;   UNFILES   generated script: the Delete and RMDir lines for the same files
;   ICON      the program's icon
;   WIZARD    the picture of the finish page
;   OUTFILE   the installer to write

Unicode true
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pinora"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Pinora notes"
; The desktop property through which the running Pinora publishes its main
; window, and the main window's Exit command.
!define PINORA_PROP "Pinora prop"
!define ID_EXIT 32773
!define SYNCHRONIZE 0x00100000

Name "Pinora"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Pinora"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Pinora ${VERSION}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "Pinora"
VIAddVersionKey /LANG=1033 "FileDescription" "Pinora setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "OriginalFilename" "Pinora-${VERSION}-setup.exe"
; Company-neutral: no publisher and no copyright holder is named.
!pragma warning disable 9100

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh
!include WinVer.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${WIZARD}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_SMALLDESC

!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Pinora.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Pinora now"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_PAGE_CUSTOMFUNCTION_SHOW un.ComponentsShow
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; Asks a running Pinora to exit through its own Exit command, so it closes its
; files and removes its icon as when the user chooses Exit, and waits until the
; process has ended. Pushes 1 when no Pinora runs any more, 0 when it would not
; close (the caller stops then: nothing is killed).
!macro CLOSE_PINORA_FUNCTION un
Function ${un}ClosePinora
  Push $0
  Push $1
  Push $2
  Push $3
  StrCpy $0 1
  retry:
  System::Call 'user32::GetDesktopWindow() p .r1'
  System::Call 'user32::GetPropW(p r1, w "${PINORA_PROP}") p .r1'
  StrCpy $2 0
  ${If} $1 P<> 0
    System::Call 'user32::IsWindow(p r1) i .r2'
  ${EndIf}
  ${If} $2 = 0
    StrCpy $0 1
    Goto done
  ${EndIf}
  ${If} $0 = 1
    ; Asked once; after a Retry the user has already agreed.
    MessageBox MB_OKCANCEL|MB_ICONINFORMATION       "Pinora is running and has to be closed to go on.$\r$\n$\r$\nClose Pinora now?" /SD IDOK IDOK close
    StrCpy $0 0
    Goto done
  ${EndIf}
  close:
  System::Call 'user32::GetWindowThreadProcessId(p r1, *i .r2)'
  System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i r2) p .r3'
  DetailPrint "Asking Pinora to exit"
  SendMessage $1 ${WM_COMMAND} ${ID_EXIT} 0 /TIMEOUT=5000
  StrCpy $0 0
  ${If} $3 P<> 0
    System::Call 'kernel32::WaitForSingleObject(p r3, i 15000) i .r2'
    System::Call 'kernel32::CloseHandle(p r3)'
    ${If} $2 = 0
      StrCpy $0 1
    ${EndIf}
  ${Else}
    ; Without a handle on the process, its window going away has to do.
    ${For} $2 1 150
      System::Call 'user32::IsWindow(p r1) i .r3'
      ${If} $3 = 0
        StrCpy $0 1
        ${Break}
      ${EndIf}
      Sleep 100
    ${Next}
  ${EndIf}
  ${If} $0 = 0
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "Pinora is still running and did not close when asked.$\r$\n$\r$\nPlease choose Exit in the menu of its notification icon, then press Retry." \
      /SD IDCANCEL IDRETRY retry
  ${EndIf}
  done:
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd
!macroend
!insertmacro CLOSE_PINORA_FUNCTION ""
!insertmacro CLOSE_PINORA_FUNCTION "un."

; The input-hook library stays loaded in other programs for a while after Pinora
; has removed its hooks (Windows lets go of a hook library in a program when that
; program next handles a message), so it may not be deletable yet. Ask every
; window to handle one and try again for a few seconds; if it is still held, move
; it out of the program folder into the temp folder, to be deleted at the next
; start of Windows, so the folder can be replaced or removed.
!macro RELEASE_HOOK_LIBRARY_FUNCTION un
Function ${un}ReleaseHookLibrary
  Push $0
  Push $1
  StrCpy $0 0
  retry:
    IfFileExists "$INSTDIR\pnhook.dll" 0 done
    Delete "$INSTDIR\pnhook.dll"
    IfFileExists "$INSTDIR\pnhook.dll" 0 done
    IntOp $0 $0 + 1
    IntCmp $0 10 moveaside
    SendMessage ${HWND_BROADCAST} ${WM_NULL} 0 0 /TIMEOUT=200
    Sleep 300
    Goto retry
  moveaside:
    GetTempFileName $1
    Delete $1
    Rename "$INSTDIR\pnhook.dll" $1
    Delete /REBOOTOK $1
  done:
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro RELEASE_HOOK_LIBRARY_FUNCTION ""
!insertmacro RELEASE_HOOK_LIBRARY_FUNCTION "un."

; Pinora writes its settings and its users' notes beside itself: a folder the
; user cannot write would lose them. Pushes 1 when $INSTDIR can be written.
; Pinora keeps its text in UTF-8 through its manifest's active code page, which
; Windows honours from Windows 10 version 1903 (build 18362) on; on an older
; Windows the program would refuse to start, so Setup refuses to install it.
Function .onInit
  ${IfNot} ${AtLeastWin10}
  ${OrIfNot} ${AtLeastBuild} 18362
    MessageBox MB_OK|MB_ICONSTOP "Pinora needs Windows 10 version 1903 or later.$\r$\n$\r$\nIt keeps your notes in UTF-8, so that any language can be written in them, and older versions of Windows cannot give a program that." /SD IDOK
    SetErrorLevel 5
    Abort
  ${EndIf}
FunctionEnd

Function CanWriteInstDir
  Push $0
  ClearErrors
  CreateDirectory "$INSTDIR"
  FileOpen $0 "$INSTDIR\pinora-setup.tmp" w
  ${If} ${Errors}
    StrCpy $0 0
  ${Else}
    FileClose $0
    Delete "$INSTDIR\pinora-setup.tmp"
    StrCpy $0 1
  ${EndIf}
  Exch $0
FunctionEnd

Function DirectoryLeave
  Call CanWriteInstDir
  Pop $0
  ${If} $0 = 0
    MessageBox MB_OK|MB_ICONEXCLAMATION \
      "Pinora cannot write to $INSTDIR.$\r$\n$\r$\nPinora keeps your notes in its own folder, so please choose a folder that belongs to you."
    Abort
  ${EndIf}
FunctionEnd

Section "Pinora (required)" SecProgram
  SectionIn RO
  Call CanWriteInstDir
  Pop $0
  ${If} $0 = 0
    MessageBox MB_OK|MB_ICONSTOP "Pinora cannot write to $INSTDIR." /SD IDOK
    SetErrorLevel 3
    Abort
  ${EndIf}
  Call ClosePinora
  Pop $0
  ${If} $0 = 0
    SetErrorLevel 4
    Abort "Pinora is still running; nothing was installed."
  ${EndIf}

  Call ReleaseHookLibrary
  ; Only program files: the settings, the user table, the catalogues and the
  ; users' folders are never part of the package, so an upgrade keeps them.
  !include "${FILES}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  SetOutPath "$INSTDIR"
  CreateShortcut "$SMPROGRAMS\Pinora.lnk" "$INSTDIR\Pinora.exe" "" "$INSTDIR\Pinora.exe" 0 \
    SW_SHOWNORMAL "" "Sticks with alarms, a daily diary and a password box"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Pinora"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Pinora.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize ${SecProgram} $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "Desktop shortcut" SecDesktop
  SetOutPath "$INSTDIR"
  CreateShortcut "$DESKTOP\Pinora.lnk" "$INSTDIR\Pinora.exe" "" "$INSTDIR\Pinora.exe" 0 \
    SW_SHOWNORMAL "" "Sticks with alarms, a daily diary and a password box"
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "The program, its animations and skins, and a Start menu entry. Your notes are kept when you upgrade."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecDesktop} "A shortcut to Pinora on the desktop."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; ---------------------------------------------------------------- uninstaller

; Removing frees space rather than needing it: the "Space required" line of the
; components page says nothing useful here.
Function un.ComponentsShow
  FindWindow $0 "#32770" "" $HWNDPARENT
  GetDlgItem $0 $0 1023
  ShowWindow $0 ${SW_HIDE}
FunctionEnd

Section "un.Pinora (required)" SecUnProgram
  SectionIn RO
  Call un.ClosePinora
  Pop $0
  ${If} $0 = 0
    SetErrorLevel 4
    Abort "Pinora is still running; nothing was removed."
  ${EndIf}

  Call un.ReleaseHookLibrary
  !include "${UNFILES}"
  Delete "$INSTDIR\uninstall.exe"
  Delete "$SMPROGRAMS\Pinora.lnk"
  Delete "$DESKTOP\Pinora.lnk"

  ; The start-at-logon value, when it names the program just removed (another
  ; copy of Pinora elsewhere keeps its own).
  ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${If} $0 != ""
    StrCpy $1 $0 1
    ${If} $1 == '"'
      StrCpy $0 $0 "" 1
      StrCpy $0 $0 -1
    ${EndIf}
    ${IfNot} ${FileExists} "$0"
      DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
    ${EndIf}
  ${EndIf}
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

Section /o "un.Also remove my notes" SecUnData
  MessageBox MB_YESNO|MB_ICONEXCLAMATION|MB_DEFBUTTON2 \
    "This deletes the notes, sticks, diaries and passwords of every Pinora user in $INSTDIR, and Pinora's settings.$\r$\n$\r$\nDelete them?" \
    /SD IDNO IDYES remove
  Return
  remove:
  Delete "$INSTDIR\pinora.ini"
  Delete "$INSTDIR\pnpb.ini"
  Delete "$INSTDIR\user.dat"
  Delete "$INSTDIR\skincfg.dat"
  Delete "$INSTDIR\winkcfg.dat"
  ; A user's folder holds his data folder or his password database; other
  ; folders (anything the user put here himself) are left alone.
  FindFirst $0 $1 "$INSTDIR\*"
  ${DoWhile} $1 != ""
    ${If} $1 != "."
    ${AndIf} $1 != ".."
    ${AndIf} ${FileExists} "$INSTDIR\$1\*.*"
      ${If} ${FileExists} "$INSTDIR\$1\data\*.*"
      ${OrIf} ${FileExists} "$INSTDIR\$1\pnpb.dat"
        RMDir /r "$INSTDIR\$1"
      ${EndIf}
    ${EndIf}
    FindNext $0 $1
  ${Loop}
  FindClose $0
SectionEnd

Section "-un.Folder"
  ; Only when nothing is left in it: the users' data keeps the folder.
  RMDir "$INSTDIR"
SectionEnd

!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecUnProgram} "The program files, the shortcuts and the start at logon."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecUnData} "Also delete every user's notes, sticks, diary and passwords, and the settings."
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END
