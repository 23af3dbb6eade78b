# Installs killed during the Files pass at several counts of copied files (the uninstaller's
# own files first): the log still loads, and the uninstaller removes every path it recorded and
# nothing else. Paths copied after the log's last save stay: the kill lost their records.
source "$ZYN_ROOT/tests/e2e/lib.sh"
tanks=()  # more files, so that the kills fall between several saves of the log
for t in $(seq 1 12); do tanks+=(-i '^Screen Saver Files,' "Tank Files, pictures\\*.*,, tank$t\\, C, 1, N, N, 0, 1, N, Y, Y"); done
first='^Program Files, aquarium.exe,'
e2e_script -d '^Uninstaller,' "${tanks[@]}" \
  -i "$first" 'Uninstaller, SETUP.EXE,, $(UninstallFileName), C, 1, N, N, 0, 1, N, Y, Y' \
  -i "$first" 'Uninstaller, english.dll,, uninstal.dll, C, 1, N, N, 0, 1, N, Y, Y' \
  -i "$first" 'Uninstaller, HELPER.EX_,, HELPER.EXE, C, 1, N, N, 0, 1, N, Y, Y'
e2e_pack
dest=$(e2e_c "$d")
shopt -s globstar nullglob
# Files copied so far into $n (all but unins.ini and the log); no subshell, to look quickly.
count() { local f; n=-2; for f in "$dest"/**; do [ -f "$f" ] && n=$((n + 1)); done; }
machine() { (cd "$WINEPREFIX/drive_c" && find . -path ./windows/system32 -prune -o -path ./windows/syswow64 -prune -o -print | sort); }
# The paths under every "Files" key of the log, as relative names in drive_c like machine's.
recorded() {
  awk '/^ *\[/ { key = $0; gsub(/^ *\[|\]$/, "", key); next }
       key == "Files" { sub(/^ */, ""); sub(/ = [^=]*$/, ""); sub(/^[Cc]:/, "."); gsub(/\\/, "/"); print }' <<<"$1"
}
installer_pid() {
  local p
  for p in $(pgrep -f -i '_zyntemp\\INST\.EXE'); do
    tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && { echo "$p"; return; }
  done
}

# From the fourth file on the uninstaller and its helper are complete on disk.
for at in 4 12 20 34 44; do
  echo "== kill at $at copied files"
  e2e_boot
  pid=$(installer_pid)
  [ -n "$pid" ] || e2e_fail "no installer"
  printf '%s\n' 'expect dialog template=DLG_GET_DIRECTORY_32' 'click ok' | E2E_LEAVE=1 e2e_inst
  until count; [ $n -ge $at ] || ! kill -0 "$pid" 2>/dev/null; do :; done
  kill -STOP "$pid" 2>/dev/null || e2e_fail "the install ended before $at files"
  count
  kill -KILL "$pid"
  while kill -0 "$pid" 2>/dev/null; do sleep 0.05; done
  log=$(e2e_log "$d\\ZYNDEMO.LOG")
  paths=$(recorded "$log")
  before=$(machine)
  grep -q '^  Demo 0 = ' <<<"$log" || e2e_fail "the log does not name the demo"
  e2e_uninstall "$d"
  # The uninstaller's files and the helper go only when the log knows them.
  if grep -qi 'helper\.exe$' <<<"$paths"; then
    e2e_wait_gone "$d\\HELPER.EXE"
  else
    for _ in $(seq 100); do pgrep -f -i 'aquarium\\helper\.exe' >/dev/null || break; sleep 0.3; done
  fi
  after=$(machine)
  gone=$(comm -23 <(echo "$before") <(echo "$after"))
  left=$(comm -12 <(echo "$before") <(echo "$after") | grep -i '^\./zyn/\|zynaqua\.scr$' || true)
  # Every recorded path is gone (but a directory holding what was not); all that went was
  # recorded, or is the uninstaller, its library, the helper, its list or the log.
  while IFS= read -r p; do
    [ -z "$p" ] || ! grep -qixF "$p" <<<"$after" || grep -qiF "$p/" <<<"$after" || e2e_fail "$p was recorded and stays"
  done <<<"$paths"
  while IFS= read -r p; do
    [ -z "$p" ] || grep -qixF "$p" <<<"$paths" || grep -qiE '/(uninstal\.exe|uninstal\.dll|helper\.exe|helper\.ini|zyndemo\.log)$' <<<"$p" \
      || e2e_fail "$p was not recorded and went"
  done <<<"$gone"
  printf 'killed at %d copied files: %d paths recorded, %d removed, left behind: %s\n' "$n" \
    "$(grep -c . <<<"$paths" || true)" "$(grep -c . <<<"$gone" || true)" "$(echo $left)"
  rm -rf "$(e2e_c 'C:\ZYN')" "$(e2e_c 'C:\windows')/zynaqua.scr"
done
