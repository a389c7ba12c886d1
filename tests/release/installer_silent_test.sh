#!/usr/bin/env bash
# The installer of this build tree's architecture, silently under Wine: the files, the
# Start-menu entries, the start at logon and the uninstall entry are in place after /S, and
# gone after the uninstaller's /S; the user's DunmereConfig.ini and records stay.
# usage: installer_silent_test.sh PREFIX ARCH(x86|amd64) WORKDIR NSI VERSION APP VCOM AUTORUN GUIDE_MD
# Exit 77 (skipped) when this machine cannot run an installer of that architecture.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
. "$here/installer_stage.sh"
prefix=$1 arch=$2 work=$3 nsi=$4 version=$5

if [ "$arch" = x86 ]; then
  loader=/usr/lib/wine/wine
  if ! "$loader" --version >/dev/null 2>&1; then
    echo "SKIPPED: the 32-bit installer needs the 32-bit Wine loader, which this kernel cannot start" \
         "(no 32-bit user code). The x86_64 build tree runs the 64-bit variant of the same installer."
    exit 77
  fi
else
  loader=/usr/lib/wine/wine64
fi

stage_programs "$work/programs" "$6" "$7" "$8" "$9" || exit 1
setup="$work/ClserDunmere-setup-$arch.exe"
compile_installer "$arch" "$nsi" "$version" "$work/programs" "$setup" || { echo "FAILED: the installer does not compile"; exit 1; }

. "$root/scripts/wine-env" "$prefix"
# Shortcuts must not reach the Linux desktop's menus.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
[ -f "$prefix.xvfb.state" ] && export DISPLAY=$(cut -d' ' -f2 "$prefix.xvfb.state")
wine() { (cd "$work" && "$loader" "$@"); }

drive_c="$prefix/drive_c"
program_files="$drive_c/Program Files"
regview=()
if [ "$arch" = x86 ] && [ -d "$drive_c/Program Files (x86)" ]; then
  program_files="$drive_c/Program Files (x86)"
  regview=(/reg:32)
fi
default_dir="$program_files/ClserDunmere"
custom_dir="$drive_c/ClserDunmereTest"
menu="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
# Wine names the folder StartUp; Windows takes either spelling.
startup_dir=$(find "$menu" -maxdepth 1 -type d -iname startup 2>/dev/null | head -1)
startup_link="${startup_dir:-$menu/Startup}/ClserDunmere Autorun.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ClserDunmere'
programs=(ClserDunmere2.exe TarvVirtualComPort.dll ClserDunmereAutorun.exe USER_GUIDE.txt)

passed=0 failed=0
check() {   # check NAME COMMAND...
  if "${@:2}"; then passed=$((passed + 1)); echo "ok: $1"; else failed=$((failed + 1)); echo "FAILED: $1"; fi
}
absent() { [ ! -e "$1" ]; }
same_files() {   # every program identical to what was packed, and the uninstaller beside them
  local f
  for f in "${programs[@]}"; do cmp -s "$work/programs/$f" "$1/$f" || return 1; done
  [ -f "$1/Uninstall.exe" ]
}
link_to() { [ -f "$1" ] && grep -aq "$2" "$1"; }
uninstall_entry() { wine reg query "$key" /v UninstallString "${regview[@]}" 2>/dev/null | grep -q 'Uninstall.exe'; }
no_uninstall_entry() { ! wine reg query "$key" "${regview[@]}" >/dev/null 2>&1; }

# The uninstaller copies itself to the temporary folder (~nsu<n>.tmp), starts the copy and returns at
# once; it is done when that copy has ended.
uninstaller_copies() {
  local f p state
  for f in $(grep -l '~nsu[^ ]*\.tmp' /proc/[0-9]*/cmdline 2>/dev/null); do
    p=${f%/cmdline}
    { tr '\0' '\n' <"$p/environ" | grep -qxF "WINEPREFIX=$prefix"; } 2>/dev/null || continue
    state=$(sed 's/.*) //' "$p/stat" 2>/dev/null | cut -d' ' -f1)
    [ -n "$state" ] && [ "$state" != Z ] && echo "${p#/proc/}"
  done
  true
}
uninstall() {   # uninstall DIR: runs DIR/Uninstall.exe /S and waits until it has finished
  wine "$1/Uninstall.exe" /S || return 1
  local left
  for _ in $(seq 1 300); do
    left=$(uninstaller_copies)
    [ -z "$left" ] && return 0
    sleep 0.2
  done
  echo "the uninstaller did not finish within 60 s; ending it (pids $left)"
  kill $left 2>/dev/null
  return 1
}

# A run that was interrupted may have left an installation behind.
rm -rf "$default_dir" "$custom_dir" "$menu/ClserDunmere" "$startup_link"
wine reg delete "$key" /f "${regview[@]}" >/dev/null 2>&1

echo "== default install: /S =="
check "the installer ends with status 0" wine "$setup" /S
check "the programs, the guide and the uninstaller are in $default_dir" same_files "$default_dir"
check "the Start-menu entry starts the bridge program" link_to "$menu/ClserDunmere/ClserDunmere.lnk" ClserDunmere2.exe
check "the Start-menu folder has the guide" link_to "$menu/ClserDunmere/User guide.lnk" USER_GUIDE.txt
check "the Start-menu folder has the uninstaller" link_to "$menu/ClserDunmere/Uninstall ClserDunmere.lnk" Uninstall.exe
check "the launcher starts at logon (selected by default)" link_to "$startup_link" ClserDunmereAutorun.exe
check "the uninstall entry names the uninstaller" uninstall_entry
# No "com" in section connection1: the launcher's first run still installs the pairs.
unconfigured() { [ -f "$1" ] && ! grep -qi '^[[:space:]]*com[[:space:]]*=' "$1" && ! grep -q '^\[' "$1"; }
check "DunmereConfig.ini is created and names no connection" unconfigured "$default_dir/DunmereConfig.ini"
check "the Records folder is created" test -d "$default_dir/Records"

echo "== uninstall: /S =="
check "the uninstaller runs to its end" uninstall "$default_dir"
check "the program folder is gone, with the configuration file nobody wrote" absent "$default_dir"
check "the Start-menu folder is gone" absent "$menu/ClserDunmere"
check "the start at logon is gone" absent "$startup_link"
check "the uninstall entry is gone" no_uninstall_entry

echo "== install into a folder of one's own, without the start at logon: /S /NOAUTOSTART /D=C:\\ClserDunmereTest =="
mkdir -p "$custom_dir"
printf '[connection1]\r\ncom=COM5\r\n' >"$custom_dir/DunmereConfig.ini"
check "the installer ends with status 0" wine "$setup" /S /NOAUTOSTART '/D=C:\ClserDunmereTest'
check "the user's DunmereConfig.ini is kept as it was" cmp -s <(printf '[connection1]\r\ncom=COM5\r\n') "$custom_dir/DunmereConfig.ini"
check "the programs are in the chosen folder" same_files "$custom_dir"
check "nothing went to the default folder" absent "$default_dir"
check "no start at logon" absent "$startup_link"
check "the Start-menu entry starts the bridge program there" link_to "$menu/ClserDunmere/ClserDunmere.lnk" ClserDunmereTest
echo record >"$custom_dir/Records/COM5.log"
check "the uninstaller runs to its end" uninstall "$custom_dir"
installed_left() { local f; for f in "${programs[@]}" Uninstall.exe; do [ -e "$custom_dir/$f" ] && return 1; done; true; }
check "every installed file is gone" installed_left
check "the user's DunmereConfig.ini stays" test -f "$custom_dir/DunmereConfig.ini"
check "the records stay" test -f "$custom_dir/Records/COM5.log"
check "the Start-menu folder is gone" absent "$menu/ClserDunmere"
check "the uninstall entry is gone" no_uninstall_entry
rm -rf "$custom_dir"
rm -rf "$drive_c"/users/*/Temp/~nsu*.tmp "$drive_c"/users/*/AppData/Local/Temp/~nsu*.tmp 2>/dev/null

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
