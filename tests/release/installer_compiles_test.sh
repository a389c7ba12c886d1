#!/usr/bin/env bash
# The installer script compiles, warning-free, for the product (32-bit installer) and for
# the 64-bit variant, and each installer is a Windows program of its architecture.
# usage: installer_compiles_test.sh WORKDIR NSI VERSION APP VCOM AUTORUN GUIDE_MD
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/installer_stage.sh"
work=$1 nsi=$2 version=$3
stage_programs "$work/programs" "$4" "$5" "$6" "$7" || exit 1

passed=0 failed=0
check() {   # check NAME COMMAND...
  if "${@:2}"; then passed=$((passed + 1)); echo "ok: $1"; else failed=$((failed + 1)); echo "FAILED: $1"; fi
}
for row in "x86 014c" "amd64 8664"; do
  set -- $row
  out="$work/setup-$1.exe"
  rm -f "$out"
  check "the $1 installer compiles without warnings" compile_installer "$1" "$nsi" "$version" "$work/programs" "$out"
  check "the $1 installer is a Windows program for machine $2" test "$( [ -f "$out" ] && pe_machine "$out")" = "$2"
done
# Users may change the configuration file and the records, nothing else of the programs folder.
grants() { grep -qF "icacls.exe\" \"\$INSTDIR$1\" /grant \${USERS_SID}:$2'" "$nsi"; }
no_folder_grant() { ! grep -qF 'icacls.exe" "$INSTDIR" ' "$nsi"; }
check "the Users group may change DunmereConfig.ini" grants '\DunmereConfig.ini' M
check "the Users group may change the Records folder and what it holds" grants '\Records' '(OI)(CI)M'
check "the programs folder itself gets no grant" no_folder_grant
check "the Users group is named by its SID" grep -qF '!define USERS_SID "*S-1-5-32-545"' "$nsi"
# A script run without its definitions stops with a message naming them.
msg=$(makensis -V1 "$nsi" 2>&1)
check "makensis without definitions names what is missing" grep -q "define VERSION, ARCH" <<<"$msg"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
