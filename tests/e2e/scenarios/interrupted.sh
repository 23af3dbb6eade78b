# Installs killed in the middle of the Files pass, at several counts of copied files (the
# uninstaller's own files come first, so that every kill leaves one): the change log
# still loads, and the uninstaller removes every path the log recorded and nothing else.
# Paths copied after the log's last save are left behind: the kill lost their records.
source "$ZYN_ROOT/tests/e2e/lib.sh"
d='C:\ZYN\AQUARIUM'
# More files to copy, so that the kills fall between several saves of the log.
tanks=()
for t in 1 2 3 4; do tanks+=(-i '^Screen Saver Files,' "Tank Files, pictures\\*.*,, tank$t\\, C, 1, N, N, 0, 1, N, Y, Y"); done
first='^Program Files, aquarium.exe,'
e2e_script -d '^Uninstaller,' "${tanks[@]}" \
  -i "$first" 'Uninstaller, SETUP.EXE,, $(UninstallFileName), C, 1, N, N, 0, 1, N, Y, Y' \
  -i "$first" 'Uninstaller, english.dll,, uninstal.dll, C, 1, N, N, 0, 1, N, Y, Y' \
  -i "$first" 'Uninstaller, HELPER.EX_,, HELPER.EXE, C, 1, N, N, 0, 1, N, Y, Y'
e2e_pack
e2e_drive d cdrom "$E2E_MEDIUM"
dest=$(e2e_c "$d")
shopt -s globstar nullglob
copied() { local f n=0; for f in "$dest"/**; do [ -f "$f" ] && n=$((n + 1)); done; echo $((n - 2)); }
machine() { (cd "$WINEPREFIX/drive_c" && find . -path ./windows/system32 -prune -o -path ./windows/syswow64 -prune -o -print | sort); }
recorded() { awk -F '"' '/^ *"/ && tolower(section) == "files" { print $2 } /^ *\[/ { section = $0; gsub(/^ *\[|\] *$/, "", section) }' <<<"$1"; }

report="$E2E_OUT/report.txt"
for at in 3 6 10 15 21; do
  echo "== kill at $at copied files"
  echo 'exit 0' | e2e_robot run "D:\\$E2E_INSTALLER"
  pid=$(pgrep -f -i '_zyntemp\\INST\.EXE' | head -n 1)
  [ -n "$pid" ] || e2e_fail "no installer"
  e2e_robot attach INST.EXE <<'EOF2'
allow dialog template=DLG_MODELESS
expect dialog template=DLG_GET_DIRECTORY_32
click ok
EOF2
  until [ "$(copied)" -ge $at ] 2>/dev/null || ! kill -0 "$pid" 2>/dev/null; do :; done
  kill -STOP "$pid" 2>/dev/null || e2e_fail "the install ended before $at files"
  kill -KILL "$pid"
  while kill -0 "$pid" 2>/dev/null; do sleep 0.05; done
  log=$(e2e_log "$d\\ZYNDEMO.LOG")
  paths=$(recorded "$log")
  before=$(machine)
  left_unrecorded=$(( $(copied) - $(grep -ci "^$(printf '%s' "${d//\\/\\\\}")\\\\.*\\." <<<"$paths" || true) ))
  echo "kill at $at: $(copied) files copied, $(wc -l <<<"$paths") paths recorded" | tee -a "$report"
  e2e_uninstall "$d"
  e2e_wait_gone "$d\\HELPER.EXE"
  after=$(machine)
  gone=$(comm -23 <(echo "$before") <(echo "$after"))
  echo "  removed:"; sed 's/^/    /' <<<"$gone"
  # Every recorded path that was there is gone; every path that went was recorded.
  while IFS= read -r p; do
    [ -n "$p" ] || continue
    rel=".$(tr '\\' / <<<"${p#[Cc]:}")"
    ! grep -qixF "$rel" <<<"$after" || e2e_fail "$p was recorded and stays"
  done <<<"$paths"
  while IFS= read -r rel; do
    p="C:$(tr / '\\' <<<"${rel#.}")"
    grep -qixF "$p" <<<"$paths" || [[ "$p" =~ (HELPER\.EXE|ZYNDEMO\.LOG|unins\.ini)$ ]] || e2e_fail "$p was not recorded and went"
  done <<<"$gone"
  echo "  left behind: $(comm -12 <(echo "$before") <(echo "$after") | grep -ic '^\./zyn/' || true) paths under C:\\ZYN" | tee -a "$report"
  rm -rf "$(e2e_c 'C:\ZYN')" "$(e2e_c 'C:\windows')"/zynaqua.scr
done
cat "$report"
