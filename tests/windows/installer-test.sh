#!/usr/bin/env bash
# The installer and the portable zip as a user meets them, under Wine, in a
# fresh Wine prefix of this test's own (removed afterwards), with none of the
# build's libraries on the path: what is installed or unpacked must run alone.
#   - the installer's manifest asks for no administrator (asInvoker);
#   - a silent install is for the user only: the program under
#     AppData\Local\Programs\Rotamet, one entry in the user's Start menu, the
#     uninstall entry under HKCU; nothing in Program Files or under HKLM;
#   - the installed program opens its window;
#   - while it is open, an install over it and a removal change nothing (a
#     silent install fails);
#   - an install over it leaves the same files and one Start-menu entry;
#     a silent removal takes the files, the entry and the uninstall key away,
#     and the user's pompe.csv stays as it was, byte for byte;
#   - /ALLUSERS installs into Program Files with the uninstall key under HKLM,
#     and its removal takes both away;
#   - the zip, unpacked into a folder with a non-ASCII name, opens its window.
# Needs DISPLAY (scripts/windows/run-tests.sh starts a virtual one), wrestool
# and xdotool.
# usage: installer-test.sh INSTALLER PORTABLE_ZIP
set -uo pipefail
for file in "${1:?installer}" "${2:?portable zip}"; do
  [[ -f $file ]] || { echo "not ok - $file is missing: make windows packs it"; exit 1; }
done
installer=$(realpath "$1")
zip=$(realpath "$2")
: "${DISPLAY:?a display}"

root=$(mktemp -d /tmp/rotamet-installer.XXXXXX) || exit 1
export WINEPREFIX=$root/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset WINEPATH
cleanup() {
  wineserver -k 2>/dev/null
  rm -rf "$root"
}
trap cleanup EXIT

failures=0
check() { # check DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@"; then
    echo "ok - $what"
  else
    echo "not ok - $what"
    failures=$((failures + 1))
  fi
}
absent() { [[ ! -e $1 ]]; }
same_bytes() { cmp -s "$1" "$2"; }

# Waits until every program of the prefix has ended (an uninstaller runs on
# as a copy of itself in the temporary folder after the first one returns).
settle() { timeout 120 wineserver -w; }

# A Windows folder of the prefix as a Linux path.
folder() { winepath -u "$(wine cmd /c echo "%$1%" 2>/dev/null | tr -d '\r')" 2>/dev/null; }

registry_has() { # registry_has HKCU|HKLM
  wine reg query "$1\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Rotamet" \
    /v InstallLocation >/dev/null 2>&1
}
no_registry() { ! registry_has "$1"; }

# Starts a program and waits up to a minute for its visible window; the
# program's process is then in $program.
program=
start_program() {
  wine "$1" >/dev/null 2>&1 &
  program=$!
  for _ in $(seq 120); do
    if xdotool search --onlyvisible --name '^Rotamet - ' >/dev/null 2>&1; then
      return 0
    fi
    kill -0 "$program" 2>/dev/null || return 1
    sleep 0.5
  done
  return 1
}
stop_program() {
  kill "$program" 2>/dev/null
  wait "$program" 2>/dev/null
  settle
}
opens_window() {
  start_program "$1"
  local seen=$?
  stop_program
  return $seen
}

file_list() { (cd "$1" && find . | sort); }
# The same with each file's identity: a file removed and written anew differs.
file_ids() { (cd "$1" && find . -printf '%i %p\n' | sort -k2); }
fails() { ! "$@"; }

wineboot -i >/dev/null 2>&1
settle
local_appdata=$(folder LOCALAPPDATA)
programs=$(folder ProgramW6432)
start_menu="$(folder APPDATA)/Microsoft/Windows/Start Menu/Programs"
user_dir=$local_appdata/Programs/Rotamet
if [[ -z $local_appdata || -z $programs ]]; then
  echo "not ok - the Wine prefix has no user folders"
  exit 1
fi
echo "# the user's programs: $user_dir"
echo "# Program Files: $programs"
echo "# the user's Start menu: $start_menu"

check "the installer asks for no administrator" \
  grep -q 'level="asInvoker"' <(wrestool -x --raw --type=24 "$installer")

wine "$installer" /S
settle
check "installed for the user: AppData\\Local\\Programs\\Rotamet" test -f "$user_dir/rotamet.exe"
check "nothing in Program Files" absent "$programs/Rotamet"
check "the uninstall entry is under HKCU" registry_has HKCU
check "no uninstall entry under HKLM" no_registry HKLM
check "one entry in the user's Start menu" test -f "$start_menu/Rotamet.lnk"
check "the installed program opens its window" opens_window "$user_dir/rotamet.exe"

mkdir -p "$local_appdata/Tachocalc"
pumps=$local_appdata/Tachocalc/pompe.csv
printf 'codice;minimo_mm;massimo_mm;fine_alzata_gradi\r\nA2C1637670081;38,51;50,51;90\r\n' >"$pumps"
cp "$pumps" "$root/pompe.before"
file_list "$user_dir" >"$root/files.first"

# While the program is open, Windows keeps its files: an install over it or
# a removal changes nothing and says so (a silent install fails).
file_ids "$user_dir" >"$root/ids.before"
if start_program "$user_dir/rotamet.exe"; then
  check "an install over the open program fails" fails wine "$installer" /S
  wine "$user_dir/Uninstall.exe" /S
  sleep 5 # the removal runs on as a copy of itself, which stops at once
  file_ids "$user_dir" >"$root/ids.after"
  check "an install or a removal while it is open leaves its files alone" \
    same_bytes "$root/ids.before" "$root/ids.after"
  check "a removal while it is open keeps the uninstall entry" registry_has HKCU
else
  check "the installed program opens its window again" false
fi
stop_program

wine "$installer" /S
settle
file_list "$user_dir" >"$root/files.again"
check "an install over it leaves the same files" same_bytes "$root/files.first" "$root/files.again"
check "an install over it leaves one Start-menu entry" \
  test "$(find "$start_menu" -iname '*rotamet*' | wc -l)" -eq 1

wine "$user_dir/Uninstall.exe" /S
settle
check "removal takes the program's folder away" absent "$user_dir"
check "removal takes the Start-menu entry away" absent "$start_menu/Rotamet.lnk"
check "removal takes the uninstall entry away" no_registry HKCU
check "removal keeps the user's pumps as they were" same_bytes "$root/pompe.before" "$pumps"

wine "$installer" /S /ALLUSERS
settle
check "/ALLUSERS installs into Program Files" test -f "$programs/Rotamet/rotamet.exe"
check "/ALLUSERS puts the uninstall entry under HKLM" registry_has HKLM
check "/ALLUSERS puts nothing in the user's folders" absent "$user_dir"
wine "$programs/Rotamet/Uninstall.exe" /S
settle
check "removal for all users takes Program Files\\Rotamet away" absent "$programs/Rotamet"
check "removal for all users takes the HKLM entry away" no_registry HKLM

portable="$(dirname "$local_appdata")/Officina Città/Banco n° 2"
mkdir -p "$portable"
(cd "$portable" && cmake -E tar xf "$zip")
check "the portable zip holds no uninstaller" absent "$portable/Rotamet/Uninstall.exe"
check "the portable program opens its window from a folder named 'Officina Città'" \
  opens_window "$portable/Rotamet/rotamet.exe"

if ((failures)); then
  echo "$failures checks failed"
  exit 1
fi
