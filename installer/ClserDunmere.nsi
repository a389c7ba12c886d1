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

; Removes what the installer put in place. DunmereConfig.ini, which the programs write
; beside themselves, holds the user's connections and stays (and so does the folder then).
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
  RMDir /REBOOTOK "$INSTDIR"
SectionEnd
