# Sourced by the installer tests: stages the three programs and the guide as the release
# does, and compiles the installer.
#   stage_programs DIR APP VCOM AUTORUN GUIDE_MD
#   compile_installer ARCH NSI VERSION STAGE_DIR OUTFILE

stage_programs() {
  local dir=$1
  rm -rf "$dir"
  mkdir -p "$dir"
  cp "$2" "$dir/ClserDunmere2.exe"
  cp "$3" "$dir/TarvVirtualComPort.dll"
  cp "$4" "$dir/ClserDunmereAutorun.exe"
  sed 's/$/\r/' "$5" >"$dir/USER_GUIDE.txt"
}

compile_installer() {
  command -v makensis >/dev/null || { echo "makensis is missing: run scripts/setup (Debian package nsis)"; return 1; }
  makensis -WX -V2 -DVERSION="$3" -DARCH="$1" -DBINDIR="$4" -DGUIDE="$4/USER_GUIDE.txt" -DOUTFILE="$5" "$2"
}

# pe_machine FILE: the PE machine field (014c: 32-bit x86, 8664: x86_64).
pe_machine() {
  local off
  off=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  od -An -tx2 -j$((off + 4)) -N2 "$1" | tr -d ' '
}
