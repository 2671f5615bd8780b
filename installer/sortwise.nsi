; The per-user installer of Sortwise.dll for 32- and 64-bit Outlook, each DLL with the sortwise.exe
; of its bitness beside it (the command-line companion).
;   makensis -DTARGET=x86-unicode|amd64-unicode -DDLL32=FILE -DDLL64=FILE -DEXE32=FILE -DEXE64=FILE
;            -DOUTFILE=FILE sortwise.nsi
; x86-unicode is the installer we ship (it runs on every Windows); amd64-unicode is the same script
; as a 64-bit program, for machines that run no 32-bit programs.
;
; Exit codes (also without a window, /S): 0 installed or removed, 1 cancelled, 2 failed (nothing of
; the product is left behind), 3 Outlook is running, 4 a newer version is installed.
;
; The registry rows of the COM class and of Outlook's add-in list come from the DLL alone: the
; installer only runs regsvr32 of the DLL's bitness, and the uninstaller runs regsvr32 /u.

!ifndef TARGET
  !define TARGET x86-unicode
!endif
!ifndef DLL32
  !error "DLL32 (the 32-bit Sortwise.dll) is not defined"
!endif
!ifndef DLL64
  !error "DLL64 (the 64-bit Sortwise.dll) is not defined"
!endif
!ifndef EXE32
  !error "EXE32 (the 32-bit sortwise.exe) is not defined"
!endif
!ifndef EXE64
  !error "EXE64 (the 64-bit sortwise.exe) is not defined"
!endif
!ifndef OUTFILE
  !error "OUTFILE (the installer to write) is not defined"
!endif
Target ${TARGET}
SetCompressor /SOLID lzma

!define VERSION "1.0.0"
!define PRODUCT "Brevanta Outlook Sortwise Add-In"
!define PUBLISHER "Brevanta"
!define PROGID "Brevanta.SortwiseAddIn"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PROGID}"
!define EXIT_FAILED 2
!define EXIT_OUTLOOK_RUNNING 3
!define EXIT_NEWER_INSTALLED 4

!include LogicLib.nsh
!include x64.nsh
!include WordFunc.nsh
!include FileFunc.nsh
!include MUI2.nsh

Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Brevanta\Sortwise"
ManifestDPIAware true
ShowInstDetails show
ShowUninstDetails show
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey ProductName "${PRODUCT}"
VIAddVersionKey CompanyName "${PUBLISHER}"
VIAddVersionKey FileDescription "${PRODUCT} Setup"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey LegalCopyright "${PUBLISHER}"

!define MUI_ICON "${__FILEDIR__}/../src/ui/art/app.ico"
!define MUI_UNICON "${__FILEDIR__}/../src/ui/art/app.ico"
!define MUI_FINISHPAGE_TEXT "${PRODUCT} is installed. Outlook loads it at its next start: the button $\"Sortwise$\" is on the Mail tab.$\r$\n$\r$\nYour rules are kept in %AppData%\Brevanta\Sortwise\<profile>.xml, one file per Outlook profile."
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE English

; Which DLLs (each with its sortwise.exe) this installation places: "x86", "x64" or "both".
Var Bitness
; 1 once this run has begun to place files: from then on a failure takes back what it placed.
Var Placing

; PROCESSENTRY32W as this program's bitness lays it out: its size and where szExeFile begins.
!if ${NSIS_PTR_SIZE} > 4
  !define PROCESSENTRY_SIZE 568
  !define PROCESSENTRY_EXEFILE 44
!else
  !define PROCESSENTRY_SIZE 556
  !define PROCESSENTRY_EXEFILE 36
!endif

; The functions both the installer and the uninstaller need (the uninstaller's carry "un.").
!macro SORTWISE_SHARED un

; $0 := 1 when a process named OUTLOOK.EXE runs (the add-in is loaded there and the DLLs are in
; use), else 0. Processes of either bitness are listed.
Function ${un}OutlookRunning
  Push $1
  Push $2
  Push $3
  Push $4
  StrCpy $0 0
  System::Call 'kernel32::CreateToolhelp32Snapshot(i 2, i 0) p .r1'
  ${If} $1 P<> -1
    System::Alloc ${PROCESSENTRY_SIZE}
    Pop $2
    System::Call '*$2(i ${PROCESSENTRY_SIZE})'
    System::Call 'kernel32::Process32FirstW(p r1, p r2) i .r3'
    IntPtrOp $4 $2 + ${PROCESSENTRY_EXEFILE}
    ${DoWhile} $3 <> 0
      System::Call '*$4(&w260 .r3)'
      ${If} $3 == "OUTLOOK.EXE"
        StrCpy $0 1
        ${Break}
      ${EndIf}
      System::Call 'kernel32::Process32NextW(p r1, p r2) i .r3'
    ${Loop}
    System::Free $2
    System::Call 'kernel32::CloseHandle(p r1)'
  ${EndIf}
  Pop $4
  Pop $3
  Pop $2
  Pop $1
FunctionEnd

; Asks the user to close Outlook until it is closed or they cancel; cancelling (and silent mode,
; which cannot ask) quits with EXIT_OUTLOOK_RUNNING.
Function ${un}RequireOutlookClosed
  Push $0
  ${Do}
    Call ${un}OutlookRunning
    ${If} $0 = 0
      ${Break}
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Outlook is running. Close Outlook, then choose Retry to continue." /SD IDCANCEL IDRETRY retry
    SetErrorLevel ${EXIT_OUTLOOK_RUNNING}
    Quit
    retry:
  ${Loop}
  Pop $0
FunctionEnd

; $R0 := the regsvr32 of a bitness (32 or 64, on the stack).
Function ${un}RegSvr32Of
  Exch $R1
  !if ${NSIS_PTR_SIZE} > 4
    ${If} $R1 = 64
      StrCpy $R0 "$SYSDIR\regsvr32.exe"
    ${Else}
      StrCpy $R0 "$WINDIR\SysWOW64\regsvr32.exe"
    ${EndIf}
  !else
    ; This program is 32-bit: its system folder is the 32-bit one; the 64-bit one is reached
    ; through SysNative.
    ${If} $R1 = 64
      StrCpy $R0 "$WINDIR\SysNative\regsvr32.exe"
    ${Else}
      StrCpy $R0 "$SYSDIR\regsvr32.exe"
    ${EndIf}
  !endif
  Pop $R1
FunctionEnd

; Deletes the sortwise.exe files found in $INSTDIR. $0 := the number that could not be deleted
; (one that runs, in a console, cannot be).
Function ${un}RemovePrograms
  Push $1
  Push $2
  StrCpy $0 0
  ${ForEach} $1 32 64 + 32
    ${If} $1 = 32
      StrCpy $2 "$INSTDIR\x86\sortwise.exe"
    ${Else}
      StrCpy $2 "$INSTDIR\x64\sortwise.exe"
    ${EndIf}
    ${If} ${FileExists} $2
      ClearErrors
      Delete $2
      ${If} ${Errors}
        DetailPrint "Cannot delete $2: it is in use"
        IntOp $0 $0 + 1
      ${EndIf}
    ${EndIf}
  ${Next}
  Pop $2
  Pop $1
FunctionEnd

; Unregisters and deletes the DLLs found in $INSTDIR, each through its own regsvr32 /u (the DLL
; removes the rows it wrote, from whichever root it wrote them to). $0 := the number of DLLs that
; could not be unregistered or deleted; such a DLL stays where it is.
Function ${un}RemoveDlls
  Push $1
  Push $2
  Push $R0
  StrCpy $0 0
  ${ForEach} $1 32 64 + 32
    ${If} $1 = 32
      StrCpy $2 "$INSTDIR\x86\Sortwise.dll"
    ${Else}
      StrCpy $2 "$INSTDIR\x64\Sortwise.dll"
    ${EndIf}
    ${If} ${FileExists} $2
      Push $1
      Call ${un}RegSvr32Of
      DetailPrint "Unregistering $2"
      ClearErrors
      ExecWait '"$R0" /s /u "$2"' $R0
      ${If} ${Errors}
      ${OrIf} $R0 <> 0
        DetailPrint "regsvr32 /u $2 failed ($R0)"
        IntOp $0 $0 + 1
      ${Else}
        ClearErrors
        Delete $2
        ${If} ${Errors}
          DetailPrint "Cannot delete $2"
          IntOp $0 $0 + 1
        ${EndIf}
      ${EndIf}
    ${EndIf}
  ${Next}
  RMDir "$INSTDIR\x86"
  RMDir "$INSTDIR\x64"
  Pop $R0
  Pop $2
  Pop $1
FunctionEnd

; Removes the programs and the DLLs found in $INSTDIR. $0 := the number of files that could not be
; removed. While a sortwise.exe is in use no DLL is touched: the add-in keeps working as installed
; until the removal is tried again.
Function ${un}RemoveBinaries
  Call ${un}RemovePrograms
  ${If} $0 = 0
    Call ${un}RemoveDlls
  ${EndIf}
FunctionEnd

; Removes what is left of the product once its DLLs and programs are gone: the uninstaller, the
; folders when empty, and the entry in the list of installed programs. The user's rules files are not ours to
; delete.
Function ${un}RemoveRest
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  RMDir "$LOCALAPPDATA\Programs\Brevanta"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
FunctionEnd

!macroend
!insertmacro SORTWISE_SHARED ""
!insertmacro SORTWISE_SHARED "un."

; $2 := 1 when Office's values in the current registry view name x86, $3 := 1 when they name x64:
; Click-to-Run's "Platform" and the Outlook "Bitness" of each version that has one.
Function ReadOfficeBitness
  ${ForEach} $5 0 3 + 1
    ${Select} $5
      ${Case} 0
        ReadRegStr $1 HKLM "SOFTWARE\Microsoft\Office\ClickToRun\Configuration" Platform
      ${Case} 1
        ReadRegStr $1 HKLM "SOFTWARE\Microsoft\Office\16.0\Outlook" Bitness
      ${Case} 2
        ReadRegStr $1 HKLM "SOFTWARE\Microsoft\Office\15.0\Outlook" Bitness
      ${CaseElse}
        ReadRegStr $1 HKLM "SOFTWARE\Microsoft\Office\14.0\Outlook" Bitness
    ${EndSelect}
    ${If} $1 == "x86"
      StrCpy $2 1
    ${ElseIf} $1 == "x64"
      StrCpy $3 1
    ${EndIf}
  ${Next}
FunctionEnd

; $Bitness := the DLLs Outlook can load, from Office's own registry values in both registry views.
; Without an answer, or with two Offices of different bitness, both DLLs are placed.
Function DetectBitness
  ${IfNot} ${RunningX64}
    StrCpy $Bitness x86
    Return
  ${EndIf}
  StrCpy $2 0
  StrCpy $3 0
  SetRegView 64
  Call ReadOfficeBitness
  SetRegView 32
  Call ReadOfficeBitness
  SetRegView default
  ${If} $2 = 1
  ${AndIf} $3 = 0
    StrCpy $Bitness x86
  ${ElseIf} $2 = 0
  ${AndIf} $3 = 1
    StrCpy $Bitness x64
  ${Else}
    StrCpy $Bitness both
  ${EndIf}
FunctionEnd

Function .onInit
  Call RequireOutlookClosed
  ; An installed version is replaced in place when it is older or this one; a newer one stays.
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" DisplayVersion
  ${If} $0 != ""
    ${VersionCompare} $0 "${VERSION}" $1
    ${If} $1 = 1
      MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} $0 is installed, newer than this version ${VERSION}. Uninstall it first to install this version." /SD IDOK
      SetErrorLevel ${EXIT_NEWER_INSTALLED}
      Quit
    ${EndIf}
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" InstallLocation
    ${If} $0 != ""
      StrCpy $INSTDIR $0
    ${EndIf}
  ${EndIf}
  Call DetectBitness
FunctionEnd

; The product's entry in the user's list of installed programs.
Function WriteEntry
  WriteRegStr HKCU "${UNINSTALL_KEY}" DisplayName "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" DisplayVersion "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" Publisher "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" InstallLocation "$INSTDIR"
  ; The uninstaller carries the product's icon.
  WriteRegStr HKCU "${UNINSTALL_KEY}" DisplayIcon "$INSTDIR\Uninstall.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" UninstallString '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" QuietUninstallString '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" NoModify 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" NoRepair 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" EstimatedSize $0
FunctionEnd

; Takes back everything this run placed (the earlier installation's files are gone by then).
Function TakeBack
  ${If} $Placing = 1
    StrCpy $Placing 0
    ; A folder in use as the working folder cannot be removed.
    SetOutPath $TEMP
    Call RemoveBinaries
    ${If} $0 = 0
      Call RemoveRest
    ${Else}
      ; What could not be taken back stays listed, so that uninstalling can be tried again.
      Call WriteEntry
    ${EndIf}
  ${EndIf}
FunctionEnd

; Also after a file the user chose not to retry (the window's Abort).
Function .onInstFailed
  Call TakeBack
FunctionEnd

; Takes back what this run placed, then fails the installation with its reason.
!macro FAIL_INSTALL reason
  DetailPrint "${reason}"
  Call TakeBack
  MessageBox MB_OK|MB_ICONSTOP "${reason}$\r$\n$\r$\n${PRODUCT} is not installed." /SD IDOK
  SetErrorLevel ${EXIT_FAILED}
  Abort "${reason}"
!macroend

; Places one DLL with the sortwise.exe of its bitness and registers the DLL with the regsvr32 of
; its bitness.
!macro PLACE_DLL bits folder dll exe
  ClearErrors
  SetOutPath "$INSTDIR\${folder}"
  File "/oname=Sortwise.dll" "${dll}"
  ${If} ${Errors}
    !insertmacro FAIL_INSTALL "Cannot write $INSTDIR\${folder}\Sortwise.dll."
  ${EndIf}
  ClearErrors
  File "/oname=sortwise.exe" "${exe}"
  ${If} ${Errors}
    !insertmacro FAIL_INSTALL "Cannot write $INSTDIR\${folder}\sortwise.exe."
  ${EndIf}
  Push ${bits}
  Call RegSvr32Of
  DetailPrint "Registering $INSTDIR\${folder}\Sortwise.dll (${bits}-bit)"
  ClearErrors
  ExecWait '"$R0" /s "$INSTDIR\${folder}\Sortwise.dll"' $R1
  ${If} ${Errors}
  ${OrIf} $R1 <> 0
    !insertmacro FAIL_INSTALL "The ${bits}-bit Sortwise.dll could not be registered (regsvr32 exit code $R1)."
  ${EndIf}
!macroend

Section "Sortwise"
  DetailPrint "Outlook's bitness: $Bitness"
  ; The earlier installation's DLLs unregister themselves before they are replaced, so that none of
  ; its rows outlives it (also when this run places the other bitness); its programs go with them.
  Call RemoveBinaries
  ${If} $0 <> 0
    MessageBox MB_OK|MB_ICONSTOP "The installed ${PRODUCT} could not be removed from $INSTDIR. Close the programs that use it, then try again." /SD IDOK
    SetErrorLevel ${EXIT_FAILED}
    Abort
  ${EndIf}
  StrCpy $Placing 1
  ClearErrors
  SetOutPath $INSTDIR
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  ${If} ${Errors}
    !insertmacro FAIL_INSTALL "Cannot write $INSTDIR\Uninstall.exe."
  ${EndIf}
  ${If} $Bitness != x64
    !insertmacro PLACE_DLL 32 x86 "${DLL32}" "${EXE32}"
  ${EndIf}
  ${If} $Bitness != x86
    !insertmacro PLACE_DLL 64 x64 "${DLL64}" "${EXE64}"
  ${EndIf}

  Call WriteEntry
SectionEnd

Function un.onInit
  Call un.RequireOutlookClosed
FunctionEnd

Section "Uninstall"
  Call un.RemoveBinaries
  ${If} $0 <> 0
    ; The entry and the uninstaller stay, so that the removal can be tried again.
    MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} could not be removed completely from $INSTDIR." /SD IDOK
    SetErrorLevel ${EXIT_FAILED}
    Abort
  ${EndIf}
  Call un.RemoveRest
SectionEnd
