# A record key that no section writes: the replay undoes what comes before it, then stops with
# -1903 and the fatal report. What was undone stays undone, the rest stays recorded.
source "$ZYN_ROOT/tests/e2e/lib.sh"
e2e_pack
e2e_install
logfile=$(e2e_find "$d\\ZYNDEMO.LOG")
before=$(e2e_log "$d\\ZYNDEMO.LOG")
awk '/^\[Demo 0\]/ { on = 1 } on && /^}/ { printf "\t[Fish Tanks]\r\n\t{\r\n\t\t\"Tank\" = \"0\"\r\n\t}\r\n"; on = 0 } 1' \
  "$logfile" >"$logfile.new" && mv "$logfile.new" "$logfile"
e2e_uninstall "$d" "expect messagebox caption=\"Uninstall\" text~=\"could not be removed completely\"
click ok
$(e2e_fatal -1903)"
after=$(e2e_log "$d\\ZYNDEMO.LOG")
# The demo's files went before the replay met the key; the key and the shared records stay.
for f in aquarium.exe readme.txt aquarium.dat pictures; do e2e_lacks "$d\\$f"; done
[ "$(e2e_block 'Demo 0' "$after")" = $'[Demo 0]\n  [Fish Tanks]\n    Tank = 0' ] || e2e_fail "the demo's key holds more than the unknown key"
[ "$(e2e_block Common "$after")" = "$(e2e_block Common "$before")" ] || e2e_fail "the shared records changed"
[ "$(e2e_block HEADER "$after")" = "$(e2e_block HEADER "$before")" ] || e2e_fail "HEADER changed"
e2e_has 'C:\windows\zynaqua.scr'
e2e_ini 'C:\windows\win.ini' Aquarium Directory "$d"
e2e_lacks 'C:\windows\Z_Y_N_T_.TMP'
