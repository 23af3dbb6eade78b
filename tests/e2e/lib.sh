# Shared plumbing of the end-to-end scenarios, sourced by each scenarios/NAME.sh (started by
# tests/e2e/run in a fresh prefix). Windows paths are 'C:\...' paths in the prefix; $d is the
# sample's destination.
#   e2e_script [NAME=VALUE...] [-d PATTERN] [-s SED] [-i PATTERN LINE]   the sample script with
#       [Application] values set, lines dropped or edited, LINE put before lines matching: $E2E_SCRIPT
#   e2e_pack [pack options]   packs it into $E2E_MEDIUM ($E2E_INSTALLER), mapped as CD-ROM D:
#   e2e_drive LETTER TYPE DIR / e2e_boot [DRIVE [ARGS]]   maps a medium / runs its bootstrap
#   e2e_robot run EXE [ARGS] | attach IMAGE   plays the steps on stdin (E2E_LEAVE=1: may end early)
#   e2e_inst   the steps on stdin against INST.EXE, its status and please-wait windows allowed
#   e2e_install [DIR [STEPS]]   a whole install (e2e_finish: from the destination dialog on;
#       STEPS after it); e2e_uninstall DIR|attach [STEPS]   confirmed, then STEPS or the closing message
#   e2e_fatal CODE [DETAILS [MESSAGE]]   the steps through the fatal-error report of CODE to exit -1
#   e2e_c, e2e_find   Linux path of a C: path (as named / as found, case-blind)
#   e2e_has PATH, e2e_lacks PATH, e2e_ini FILE SECTION KEY VALUE, e2e_wait_gone PATH [S]
#   e2e_snapshot NAME, e2e_clean_since NAME [PATTERN...]   snapshots and their comparison
#   e2e_log FILE, e2e_block KEY TEXT, e2e_logged FILE PATH [DATA]   the change log
#   e2e_hold PATH / e2e_release   a program keeps the file open until released
set -euo pipefail
E2E_ROOT=${ZYN_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
E2E_BIN="$E2E_ROOT/build/win64/bin"
E2E_NAME=$(basename "$0" .sh)
E2E_OUT="$E2E_ROOT/build/results/e2e/$E2E_NAME"
E2E_MEDIUM="$E2E_OUT/medium"
E2E_SCRIPT="$E2E_ROOT/samples/demo/install.inf"
d='C:\ZYN\AQUARIUM'  # the sample's destination
export ZYN_SHOT_CMD="$E2E_ROOT/tools/lib/shot.sh" ZYN_SHOT_DIR="$E2E_OUT/shots"
source "$E2E_ROOT/tools/lib/wineenv.sh"
rm -rf "$E2E_OUT"
mkdir -p "$E2E_OUT" "$ZYN_SHOT_DIR"

e2e_fail() { echo "FAIL: $*" >&2; exit 1; }

e2e_script() {
  local sets=() edits=() inserts=() a
  while [ $# -gt 0 ]; do
    case "$1" in
      -d) edits+=("/$2/d"); shift 2 ;;
      -s) edits+=("$2"); shift 2 ;;
      -i) inserts+=("$2" "$3"); shift 3 ;;
      *) sets+=("$1"); shift ;;
    esac
  done
  local out="$E2E_OUT/install.inf"
  cp "$E2E_ROOT/samples/demo/install.inf" "$out"
  for a in "${edits[@]}"; do sed -i "$a" "$out"; done
  for ((a = 0; a < ${#inserts[@]}; a += 2)); do
    E2E_AT=${inserts[a]} E2E_LINE=${inserts[a + 1]} \
      awk '$0 ~ ENVIRON["E2E_AT"] { printf "%s\r\n", ENVIRON["E2E_LINE"] } { print }' "$out" >"$out.new"
    mv "$out.new" "$out"
  done
  for a in "${sets[@]}"; do
    local name=${a%%=*} value=${a#*=}
    value=${value//\\/\\\\}
    value=${value//&/\\&}
    sed -i "s|^\$($name)=.*|\$($name)=$value\r|" "$out"
  done
  E2E_SCRIPT="$out"
}

e2e_pack() {
  local said
  said=$("$E2E_ROOT/tools/pack" --script "$E2E_SCRIPT" --files "$E2E_ROOT/samples/demo/files" --files "$E2E_BIN/demo" \
    --pictures "$E2E_ROOT/samples/demo/billboards" --data "$E2E_ROOT/samples/demo/data" --out "$E2E_MEDIUM" --force "$@") || e2e_fail "pack"
  echo "$said"
  E2E_INSTALLER=$(printf '%s' "$said" | sed -n 's/.*: installer \([^,]*\).*/\1/p')
  # The installer's own templates, for the robot steps that name them.
  E2E_INSTALLER_FILE=$(find "$E2E_MEDIUM" -maxdepth 2 -name "$E2E_INSTALLER" -print -quit)
  [ -e "$WINEPREFIX/dosdevices/d:" ] || e2e_drive d cdrom "$E2E_MEDIUM"
}

e2e_drive() {
  local letter=$1 type=$2 dir=$3
  ln -sfn "$dir" "$WINEPREFIX/dosdevices/$letter:"
  wine reg add 'HKLM\Software\Wine\Drives' /v "$letter:" /d "$type" /f </dev/null >/dev/null 2>&1
  # Wine reads the drive types when its session starts.
  zyn_wine_stop
  zyn_wine_start "$E2E_BIN/zynkeepalive.exe"
}

e2e_robot() {
  local mode=$1 target=$2 args=${3:-}
  # Numbered by the files so far: a robot run in a pipeline cannot count in a variable.
  local steps="$E2E_OUT/steps-$(find "$E2E_OUT" -maxdepth 1 -name 'steps-*.txt' | wc -l).txt"
  cat >"$steps"
  local how=(--exe "$target" --args "$args")
  [ "$mode" = attach ] && how=(--image "$target")
  [ -z "${E2E_LEAVE:-}" ] || how+=(--leave)
  echo "== robot $mode $target $args"
  # Into a file, not a pipe: a program the robot started passes the pipe on to what it
  # starts (the bootstrap to INST.EXE), and the pipe would not end with the robot.
  local rc=0
  wine "$E2E_BIN/robot.exe" "$mode" "${how[@]}" --script "$steps" --res "$E2E_BIN/english.dll" \
    ${E2E_INSTALLER_FILE:+--res "$E2E_INSTALLER_FILE"} \
    --shots "$ZYN_SHOT_DIR" --shot-cmd "$ZYN_SHOT_CMD" --exit-timeout 120 </dev/null >"$steps.log" 2>&1 || rc=$?
  tr -d '\r' <"$steps.log"
  [ $rc -eq 0 ] || e2e_fail "robot steps $steps"
}

e2e_inst() { { printf 'allow dialog template=DLG_STATUS\nallow dialog template=DLG_MODELESS\n'; cat; } | e2e_robot attach INST.EXE; }

e2e_c() {
  local p=${1#[Cc]:\\}
  printf '%s/drive_c/%s' "$WINEPREFIX" "${p//\\//}"
}

# Windows paths are case-blind; the prefix's files keep the case they were created with.
e2e_find() {
  local p=${1#[Cc]:\\} dir="$WINEPREFIX/drive_c" part
  IFS='\' read -ra parts <<<"$p"
  for part in "${parts[@]}"; do
    [ -n "$part" ] || continue
    dir=$(find "$dir" -mindepth 1 -maxdepth 1 -iname "$part" -print -quit 2>/dev/null)
    [ -n "$dir" ] || return 1
  done
  printf '%s' "$dir"
}

e2e_has() { e2e_find "$1" >/dev/null || e2e_fail "missing $1"; }
e2e_lacks() { ! e2e_find "$1" >/dev/null || e2e_fail "$1 should not exist"; }

e2e_ini() {
  local file got
  file=$(e2e_find "$1") || e2e_fail "missing $1"
  got=$(tr -d '\r' <"$file" | awk -v s="$2" -v k="$3" '
    /^\[/ { cur = tolower(substr($0, 2, index($0, "]") - 2)); next }
    cur == tolower(s) && tolower(substr($0, 1, index($0, "=") - 1)) == tolower(k) { print substr($0, index($0, "=") + 1); exit }')
  [ "$got" = "$4" ] || e2e_fail "$1 [$2] $3 is \"$got\", wanted \"$4\""
}

e2e_wait_gone() {
  local i
  for i in $(seq 1 $((${2:-30} * 10))); do
    e2e_find "$1" >/dev/null || return 0
    sleep 0.1
  done
  e2e_fail "$1 is still there after ${2:-30} s"
}

e2e_snapshot() {
  "$E2E_ROOT/tests/e2e/snapshot" take "$E2E_OUT/$1.snap"
  zyn_wine_start "$E2E_BIN/zynkeepalive.exe"
}

# A snapshot "after" that differs from NAME's only as the patterns allow, and in Wine's residues
# of a removed program group: its shell cannot report a group's contents, so the emptied group's
# folder stays, and the folder windows it opens leave their settings key. Screen saving, switched
# off during an install, is switched on at its end.
e2e_clean_since() {
  local before=$1
  shift
  e2e_snapshot after
  "$E2E_ROOT/tests/e2e/snapshot" diff "$E2E_OUT/$before.snap" "$E2E_OUT/after.snap" "$@" \
    'D C:\\USERS\\[^\\]+\\APPDATA\\ROAMING\\MICROSOFT\\WINDOWS\\START MENU\\PROGRAMS\\ZYN AQUARIUM .*' \
    'K HKCU\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\EXPLORER\\ADVANCED' \
    'V HKCU\\CONTROL PANEL\\DESKTOP \| "ScreenSaveActive"="1"' || e2e_fail "the changes above were left"
}

e2e_finish() {
  local set=${1:+set 1000 \"$1\"}
  e2e_inst <<EOF2
expect dialog template=DLG_GET_DIRECTORY_32
$set
shot destination
click ok
${2:-}
expect messagebox caption="Installation Complete"
shot installed
click ok
exit 0
EOF2
}

e2e_install() {
  e2e_boot
  e2e_finish "$@"
  e2e_wait_gone 'C:\_zyntemp'
}

e2e_uninstall() {
  local how=(run "$1\\UNINSTAL.EXE") end='expect messagebox caption="Uninstall Complete"
shot uninstalled
click ok
exit 0'
  [ "$1" != attach ] || how=(attach UNINSTAL.EXE)
  e2e_robot "${how[@]}" <<EOF2
allow dialog template=DLG_UNINSTALL_STATUS
expect messagebox caption="Confirm Uninstall"
shot uninstall-confirm
click ok
${2:-$end}
EOF2
}

e2e_fatal() {
  cat <<EOF2
expect dialog template=ERRORMESSAGE ${3:-}
shot fatal$1
click 351
expect dialog template=ERRORDETAILS 354=$1 ${2:-}
click ok
gone
click ok
exit -1
EOF2
}

e2e_log() {
  local file
  file=$(e2e_find "$1") || e2e_fail "missing $1"
  ASAN_OPTIONS=detect_leaks=0 "$E2E_ROOT/build/native/bin/zynlog" show "$file" || e2e_fail "$1 does not load"
}

e2e_block() { awk -v k="[$1]" '/^\[/ { on = ($0 == k) } on' <<<"$2"; }

e2e_hold() {
  local out="$E2E_OUT/hold.txt" i
  E2E_RELEASE="$E2E_OUT/release"
  wine "$E2E_BIN/zynhold.exe" "$1" "Z:${E2E_RELEASE//\//\\}" </dev/null >"$out" 2>&1 &
  E2E_HOLDER=$!
  for i in $(seq 1 150); do
    grep -q held "$out" 2>/dev/null && return 0
    sleep 0.1
  done
  e2e_fail "$1 could not be held: $(cat "$out")"
}

e2e_release() {
  touch "$E2E_RELEASE"
  wait "$E2E_HOLDER" || true
}

e2e_logged() {
  local log
  log=$(e2e_log "$1")
  # Record lines read "name = data", indented below their key. The paths go in through
  # the environment: awk -v would read their backslashes as escapes.
  P="$2" D="${3-}" ANY=$# awk '
    { line = $0; sub(/^ +/, "", line); i = index(line, " = ")
      if (i && tolower(substr(line, 1, i - 1)) == tolower(ENVIRON["P"]) &&
          (ENVIRON["ANY"] < 3 || substr(line, i + 3) == ENVIRON["D"])) found = 1 }
    END { exit !found }' <<<"$log" || { echo "$log"; e2e_fail "no record of $2${3+ = $3} in $1"; }
}

e2e_boot() {
  local drive=${1:-d}
  echo 'exit 0' | e2e_robot run "${drive^^}:\\$E2E_INSTALLER" "${2:-}"
}
