; Per-user setup of Vombly: no administrator rights, the exe for the
; machine (x86_64 on a native x64 Windows, i686 on 32-bit Windows and on
; Windows on ARM, which runs no x64 code before Windows 11) with its four default
; files in the user's programs folder, a Start menu shortcut, an optional
; start at logon, and an uninstaller that Apps & Features lists.
;
;   setup.exe [/S] [/D=folder]         (/D= names the folder of a fresh install)
;   uninstall.exe [/S] [/REMOVEDATA]   (/REMOVEDATA also deletes %APPDATA%\Vombly)
;
;   makensis -DTREE_NSH=build/win64/generated/vombly_setup.nsh -DWIN64_DIR=build/win64/run
;            -DWIN32_DIR=build/win32/run -DOUTFILE=build/package/Vombly-setup.exe packaging/vombly.nsi
;
; TREE_NSH is a configured Windows tree's generated/vombly_setup.nsh, which
; gives VERSION, COPYRIGHT and ICON, so that the setup says what the exes say.
;
; TARGET (default x86-unicode, which runs on every Windows) may name another
; stub, such as amd64-unicode for a 64-bit-only test build of this script.

!ifndef TREE_NSH | WIN64_DIR | WIN32_DIR | OUTFILE
  !error "TREE_NSH, WIN64_DIR, WIN32_DIR and OUTFILE must be given with -D"
!endif
!include "${TREE_NSH}"
!ifdef TARGET
  Target ${TARGET}
!else
  Unicode true
!endif

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh
!include x64.nsh
!include Sections.nsh

!define PRODUCT "Vombly"
!define TITLE "Vombly - Clipboard Utility"
!define PUBLISHER "Vombly Software"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vombly"
!define LOGON_LINK "$SMSTARTUP\Vombly.lnk"
!define MENU_LINK "$SMPROGRAMS\Vombly.lnk"

Name "${PRODUCT}"
Caption "${TITLE} ${VERSION} Setup"
OutFile "${OUTFILE}"
RequestExecutionLevel user
SetCompressor /SOLID lzma
; Installed files take the time of the installation, and the setup stays
; the same bytes from one build to the next.
SetDateSave off
ShowInstDetails nevershow
ShowUninstDetails nevershow
BrandingText "${TITLE} ${VERSION}"

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=2057 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=2057 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=2057 "FileDescription" "${TITLE} Setup"
VIAddVersionKey /LANG=2057 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2057 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2057 "LegalCopyright" "${COPYRIGHT}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartFromFinishPage
!define MUI_FINISHPAGE_RUN_TEXT "Start Vombly now"

!insertmacro MUI_PAGE_COMPONENTS
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE RefuseDataFolder
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Var wasRunning
Var startedFromFinishPage

; Ends a running Vombly the way File, Exit, Quit does: its own exit request
; makes it try its failed saves again, keep what still cannot be saved
; beside its list, save its settings and take its tray icon away, without
; any box. Waits up to ten seconds for its process to end; gives up with a
; message otherwise.
!macro EndRunningVombly un
Function ${un}EndRunningVombly
  Push $0
  Push $1
  Push $2
  Push $3
  StrCpy $wasRunning 0
  FindWindow $0 "${PRODUCT}" "${TITLE}"
  ${If} $0 <> 0
    StrCpy $wasRunning 1
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1) i'
    ; SYNCHRONIZE, to wait for the process itself
    System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i r1) p .r2'
    System::Call 'user32::RegisterWindowMessage(t "Vombly-Exit-Request") i .r3'
    SendMessage $0 $3 0 0 /TIMEOUT=5000
    StrCpy $1 1
    ${If} $2 P<> 0
      System::Call 'kernel32::WaitForSingleObject(p r2, i 10000) i .r1'
      System::Call 'kernel32::CloseHandle(p r2)'
    ${Else}
      ; Without a handle: the window goes with the process.
      StrCpy $3 0
      ${Do}
        FindWindow $0 "${PRODUCT}" "${TITLE}"
        ${If} $0 = 0
          StrCpy $1 0
          ${Break}
        ${EndIf}
        IntOp $3 $3 + 1
        ${If} $3 > 100
          ${Break}
        ${EndIf}
        Sleep 100
      ${Loop}
    ${EndIf}
    ${If} $1 <> 0
      MessageBox MB_OK|MB_ICONEXCLAMATION "Vombly did not end within ten seconds. End it with File, Exit, Quit and run this again." /SD IDOK
      Abort
    ${EndIf}
  ${EndIf}
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro EndRunningVombly ""
!insertmacro EndRunningVombly "un."

Section "-Vombly" SecProgram
  Call EndRunningVombly
  SetOutPath "$INSTDIR"
  ${If} ${IsNativeAMD64}
    File "${WIN64_DIR}\Vombly.exe"
  ${Else}
    File "${WIN32_DIR}\Vombly.exe"
  ${EndIf}
  ; The defaults seed a new user's data folder; the user's own files in
  ; %APPDATA%\Vombly are never touched here.
  File "${WIN64_DIR}\Vombly.cfg"
  File "${WIN64_DIR}\Vombly1.dat"
  File "${WIN64_DIR}\Vombly2.dat"
  File "${WIN64_DIR}\Vombly3.dat"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; Shortcuts start in the install folder, where the defaults lie.
  CreateShortCut "${MENU_LINK}" "$INSTDIR\Vombly.exe" "/SM" "$INSTDIR\Vombly.exe" 0
  Delete "${LOGON_LINK}"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${TITLE}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Vombly.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Start Vombly when I log on" SecLogon
  SetOutPath "$INSTDIR"
  ; Without /SM it goes straight to the notification area.
  CreateShortCut "${LOGON_LINK}" "$INSTDIR\Vombly.exe" "" "$INSTDIR\Vombly.exe" 0
SectionEnd

; A copy that was running before an update is started again, in the tray:
; here when silent; with the pages, once they close, unless the finish page
; started it (a second start would only find the first one running).
Section "-Restart"
  ${If} $wasRunning = 1
  ${AndIf} ${Silent}
    SetOutPath "$INSTDIR"
    Exec '"$INSTDIR\Vombly.exe"'
  ${EndIf}
SectionEnd

Function StartFromFinishPage
  SetOutPath "$INSTDIR"
  Exec '"$INSTDIR\Vombly.exe" /SM'
  StrCpy $startedFromFinishPage 1
FunctionEnd

Function .onGUIEnd
  ${If} $wasRunning = 1
  ${AndIf} $startedFromFinishPage != 1
    SetOutPath "$INSTDIR"
    Exec '"$INSTDIR\Vombly.exe"'
  ${EndIf}
FunctionEnd

; The data folder holds the user's own lists; an uninstall would take them.
Function RefuseDataFolder
  ${If} $INSTDIR == "$APPDATA\${PRODUCT}"
  ${OrIf} $INSTDIR == "$APPDATA\${PRODUCT}\"
    MessageBox MB_OK|MB_ICONSTOP "Vombly keeps your lists and settings in $APPDATA\${PRODUCT} and cannot be installed there. Choose another folder." /SD IDOK
    Abort
  ${EndIf}
FunctionEnd

; The elevation type of a process's token (2: elevated, with UAC on), or 0
; where it cannot be read (XP has no elevation).
; Stack: process handle in, type out.
Function ElevationOf
  Exch $0
  Push $1
  Push $2
  Push $3
  StrCpy $2 0
  System::Call 'advapi32::OpenProcessToken(p r0, i 8, *p .r1) i .r3'
  ${If} $3 <> 0
    System::Call 'advapi32::GetTokenInformation(p r1, i 18, *i .r2, i 4, *i .r3) i .r3'
    System::Call 'kernel32::CloseHandle(p r1)'
    ${If} $3 = 0
      StrCpy $2 0
    ${EndIf}
  ${EndIf}
  StrCpy $0 $2
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; Started elevated (Run as administrator, or with an administrator's
; credentials) while the user's desktop is not, the setup would install into
; the administrator's profile, not the user's. Where UAC is off (and on XP)
; nothing tells the two apart, and the setup goes on.
Function RefuseElevated
  System::Call 'kernel32::GetCurrentProcess() p .r0'
  Push $0
  Call ElevationOf
  Pop $1
  ${If} $1 <> 2
    Return
  ${EndIf}
  System::Call 'user32::GetShellWindow() p .r0'
  ${If} $0 == 0
    Return
  ${EndIf}
  System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r2)'
  ; PROCESS_QUERY_LIMITED_INFORMATION, which elevation lets no one deny.
  System::Call 'kernel32::OpenProcess(i 0x1000, i 0, i r2) p .r0'
  ${If} $0 == 0
    Return
  ${EndIf}
  Push $0
  Call ElevationOf
  Pop $1
  System::Call 'kernel32::CloseHandle(p r0)'
  ${If} $1 = 2
    Return
  ${EndIf}
  MessageBox MB_OK|MB_ICONSTOP "This setup was started as administrator, but Vombly is installed for one user. Run it again as yourself, without $\"Run as administrator$\"." /SD IDOK
  Abort
FunctionEnd

Function .onInit
  Call RefuseElevated
  ; An update goes where the installed copy is and keeps its choice of
  ; start at logon.
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
    StrCpy $INSTDIR $0
    ${IfNot} ${FileExists} "${LOGON_LINK}"
      SectionSetFlags ${SecLogon} 0
    ${EndIf}
    Return
  ${EndIf}
  ; A folder named with /D= (no InstallDir is set, so nothing else fills it).
  ${If} $INSTDIR != ""
    Call RefuseDataFolder
    Return
  ${EndIf}
  ; The user's programs folder (Windows 7 and later), else the same place
  ; under the local application data, which is where it is on XP too.
  StrCpy $1 ""
  System::Call 'shell32::SHGetKnownFolderPath(g "{5CD7AEE2-2219-4A67-B85D-6C9CE15660CB}", i 0x8000, p 0, *p .r2) i .r0'
  ${If} $0 == 0
    System::Call '*$2(&w${NSIS_MAX_STRLEN} .r1)'
    System::Call 'ole32::CoTaskMemFree(p r2)'
  ${EndIf}
  ${If} $1 == ""
    StrCpy $1 "$LOCALAPPDATA\Programs"
  ${EndIf}
  StrCpy $INSTDIR "$1\${PRODUCT}"
FunctionEnd

Section "-un.Vombly"
  Call un.EndRunningVombly
  Delete "$INSTDIR\Vombly.exe"
  Delete "$INSTDIR\Vombly.cfg"
  Delete "$INSTDIR\Vombly1.dat"
  Delete "$INSTDIR\Vombly2.dat"
  Delete "$INSTDIR\Vombly3.dat"
  Delete "${MENU_LINK}"
  Delete "${LOGON_LINK}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd

; Unticked unless the user ticks it (or gives /REMOVEDATA), so a silent
; uninstall keeps the data.
Section /o "un.Also remove my lists and settings" SecRemoveData
  ${If} $APPDATA != ""
    RMDir /r "$APPDATA\${PRODUCT}"
  ${EndIf}
SectionEnd

Function un.onInit
  ${un.GetParameters} $0
  ClearErrors
  ${un.GetOptions} $0 "/REMOVEDATA" $1
  ${IfNot} ${Errors}
    SectionSetFlags ${SecRemoveData} ${SF_SELECTED}
  ${EndIf}
FunctionEnd
