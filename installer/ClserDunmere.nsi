; Windows installer of ClserDunmere: the bridge program, the pair library and the launcher,
; a Start-menu entry, an optional start of the launcher at logon, and an uninstaller that
; removes everything it installed.
;
;   makensis -DVERSION=2.0.0.1 -DARCH=x86 -DBINDIR=<dir of the three programs> \
;            -DGUIDE=<USER_GUIDE.txt> -DOUTFILE=<setup.exe> installer/ClserDunmere.nsi
;
; ARCH x86 is the product: a 32-bit installer of the 32-bit programs, into $PROGRAMFILES
; (Program Files (x86) on 64-bit Windows). ARCH amd64 makes the same installer as a 64-bit
; program of the 64-bit build, into $PROGRAMFILES64; it exists so that the installer can be
; tried where only 64-bit Windows programs run.
;
; Command line: /S installs silently; /NOAUTOSTART leaves out the start at logon;
; /D=<dir> chooses the folder (last on the line, as NSIS wants it).

Unicode true
!macro RequireDefine NAME
  !ifndef ${NAME}
    !error "define VERSION, ARCH (x86 or amd64), BINDIR, GUIDE and OUTFILE (missing: ${NAME})"
  !endif
!macroend
!insertmacro RequireDefine VERSION
!insertmacro RequireDefine ARCH
!insertmacro RequireDefine BINDIR
!insertmacro RequireDefine GUIDE
!insertmacro RequireDefine OUTFILE

!if "${ARCH}" == "amd64"
  Target amd64-unicode
  !define PROGRAMS_ROOT "$PROGRAMFILES64"
!else if "${ARCH}" == "x86"
  Target x86-unicode
  !define PROGRAMS_ROOT "$PROGRAMFILES"
!else
  !error "ARCH must be x86 or amd64"
!endif

!define PRODUCT "ClserDunmere"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define MENU_FOLDER "$SMPROGRAMS\${PRODUCT}"
!define AUTOSTART_LINK "$SMSTARTUP\${PRODUCT} Autorun.lnk"
; The one line of the configuration file the installer creates. It names no connection, so
; the launcher's first run still installs the pairs and writes a section per port.
!define CONFIG_COMMENT "; ClserDunmere connections: the launcher's first run writes one section per Camera Link port here (USER_GUIDE.txt, section 4)."
; The Users group, named by its SID so that the grant works in every language of Windows.
!define USERS_SID "*S-1-5-32-545"

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "Sections.nsh"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "${PROGRAMS_ROOT}\${PRODUCT}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} installer"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright the ${PRODUCT} developers"

!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "${PRODUCT} (bridge program, pair library, launcher)" SecPrograms
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${BINDIR}\ClserDunmere2.exe"
  File "${BINDIR}\TarvVirtualComPort.dll"
  File "${BINDIR}\ClserDunmereAutorun.exe"
  File "/oname=USER_GUIDE.txt" "${GUIDE}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; The programs write DunmereConfig.ini and the records beside themselves. Users may change
  ; those two and nothing else of the folder; without the grant Windows would send a
  ; non-elevated program's writes to the user's VirtualStore, where nobody looks for them.
  ; A file already there is the user's and stays as it is.
  ${IfNot} ${FileExists} "$INSTDIR\DunmereConfig.ini"
    FileOpen $0 "$INSTDIR\DunmereConfig.ini" w
    FileWrite $0 "${CONFIG_COMMENT}$\r$\n"
    FileClose $0
  ${EndIf}
  CreateDirectory "$INSTDIR\Records"
  nsExec::ExecToLog '"$SYSDIR\icacls.exe" "$INSTDIR\DunmereConfig.ini" /grant ${USERS_SID}:M'
  Pop $0
  nsExec::ExecToLog '"$SYSDIR\icacls.exe" "$INSTDIR\Records" /grant ${USERS_SID}:(OI)(CI)M'
  Pop $1
  ${If} $0 != 0
  ${OrIf} $1 != 0
    DetailPrint "The Users group could not be given the right to change DunmereConfig.ini and Records ($0, $1)"
  ${EndIf}

  CreateDirectory "${MENU_FOLDER}"
  CreateShortcut "${MENU_FOLDER}\${PRODUCT}.lnk" "$INSTDIR\ClserDunmere2.exe"
  CreateShortcut "${MENU_FOLDER}\User guide.lnk" "$INSTDIR\USER_GUIDE.txt"
  CreateShortcut "${MENU_FOLDER}\Uninstall ${PRODUCT}.lnk" "$INSTDIR\Uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\ClserDunmere2.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The launcher brings up every configured connection; started at logon, minimised, in the
; folder of the programs (it keeps DunmereConfig.ini beside itself).
Section "Start the launcher at logon" SecAutostart
  SetOutPath "$INSTDIR"
  CreateShortcut "${AUTOSTART_LINK}" "$INSTDIR\ClserDunmereAutorun.exe" "" "" 0 SW_SHOWMINIMIZED
SectionEnd

Function .onInit
  SetShellVarContext all
  !if "${ARCH}" == "amd64"
    SetRegView 64
  !endif
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/NOAUTOSTART" $R1
  ${IfNot} ${Errors}
    !insertmacro UnselectSection ${SecAutostart}
  ${EndIf}
FunctionEnd

Function un.onInit
  SetShellVarContext all
  !if "${ARCH}" == "amd64"
    SetRegView 64
  !endif
FunctionEnd

; DunmereConfig.ini as the installer created it, never written since: $R0 is 1, else 0.
Function un.ConfigUntouched
  StrCpy $R0 0
  ClearErrors
  FileOpen $0 "$INSTDIR\DunmereConfig.ini" r
  IfErrors done
  FileRead $0 $1
  FileRead $0 $2
  ${If} ${Errors}
  ${AndIf} $1 == "${CONFIG_COMMENT}$\r$\n"
    StrCpy $R0 1
  ${EndIf}
  FileClose $0
done:
FunctionEnd

; Removes what the installer put in place. DunmereConfig.ini, once the programs have written
; the user's connections into it, and the records stay (and so does the folder then).
; A program still running is removed at the next restart.
Section "Uninstall"
  Delete "${AUTOSTART_LINK}"
  Delete "${MENU_FOLDER}\${PRODUCT}.lnk"
  Delete "${MENU_FOLDER}\User guide.lnk"
  Delete "${MENU_FOLDER}\Uninstall ${PRODUCT}.lnk"
  RMDir "${MENU_FOLDER}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"

  Delete /REBOOTOK "$INSTDIR\ClserDunmere2.exe"
  Delete /REBOOTOK "$INSTDIR\TarvVirtualComPort.dll"
  Delete /REBOOTOK "$INSTDIR\ClserDunmereAutorun.exe"
  Delete "$INSTDIR\USER_GUIDE.txt"
  Delete "$INSTDIR\Uninstall.exe"
  Call un.ConfigUntouched
  ${If} $R0 == 1
    Delete "$INSTDIR\DunmereConfig.ini"
  ${EndIf}
  RMDir "$INSTDIR\Records"
  RMDir /REBOOTOK "$INSTDIR"
SectionEnd
