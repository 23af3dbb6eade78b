# The main job from a CD-ROM drive: the bootstrap into C:\_zyntemp, INST.EXE with the same
# command line, language choice, destination, copy with progress (and the one overwrite
# question), the closing message; files, attributes, change-log records and unins.ini as
# the script says; the temporary copy gone. Then the uninstaller gives back the machine
# as it was before, apart from the residues named below.
source "$ZYN_ROOT/tests/e2e/lib.sh"
# The screen saver asks before it overwrites (Warn 0); the pictures arrive read-only.
e2e_script GetLanguage=TRUE \
  -s '/^Screen Saver Files,/s/, 0, N, N, Y, Y/, 0, 0, N, Y, Y/' \
  -s '/^Picture Files,/s/, C, 1,/, R, 1,/'
e2e_pack
e2e_drive d cdrom "$E2E_MEDIUM"
printf 'an older screen saver' >"$(e2e_c 'C:\windows')/zynaqua.scr"
printf '@ECHO OFF\r\nPATH C:\\WINDOWS\r\n' >"$(e2e_c 'C:\AUTOEXEC.BAT')"
e2e_snapshot before

echo 'exit 0' | e2e_robot run "D:\\$E2E_INSTALLER" "BPOFF  extra"
e2e_has 'C:\_zyntemp\INST.EXE'
e2e_has 'C:\_zyntemp\HELPER.EXE'
e2e_has 'C:\_zyntemp\german.dll'
e2e_ini 'C:\_zyntemp\zyntemp.ini' misc 'source directory' 'D:\'
# Wine shows a program's command line as its process arguments (split at blanks).
pgrep -f -x '.*_zyntemp\\INST\.EXE BPOFF +extra' >/dev/null || e2e_fail "INST.EXE without the command line"
e2e_robot attach INST.EXE <<'EOF2'
# The codec installer's please-wait box.
allow dialog template=DLG_MODELESS
expect dialog template=DLG_LANGUAGE
shot main-window-and-language
check 1200
click ok
expect dialog template=DLG_GET_DIRECTORY_32 1000=C:\ZYN\AQUARIUM
shot get-directory
click ok
expect dialog template=DLG_STATUS
expect messagebox caption="Files Already Exist"
shot status-window
click yes
gone
expect messagebox caption="Installation Complete" text~="Zyn Aquarium"
shot finished
click ok
exit 0
EOF2
e2e_wait_gone 'C:\_zyntemp'

d='C:\ZYN\AQUARIUM'
for f in aquarium.exe aquarium.ini readme.txt UNINSTAL.EXE uninstal.dll HELPER.EXE; do
  e2e_has "$d\\$f"
done
# Wine reports every file it has written as archived.
e2e_has "$d\\pictures\\tetra.bmp" RA
cmp -s "$(e2e_find 'C:\windows\zynaqua.scr')" "$E2E_MEDIUM/zynaqua.scr" || e2e_fail "the screen saver was not replaced"
e2e_ini "$d\\unins.ini" INFO DemoID 0
[ "$(head -n1 "$(e2e_find 'C:\AUTOEXEC.BAT')")" = $'SET AQUARIUM=C:\\ZYN\\AQUARIUM\r' ] || e2e_fail "AUTOEXEC.BAT not edited"
e2e_ini "$d\\unins.ini" INFO LOGFile "$d\\ZYNDEMO.LOG"
# The log: the demo's own files under its key, the screen saver under "Common".
log=$(ASAN_OPTIONS=detect_leaks=0 "$E2E_ROOT/build/native/bin/zynlog" show "$(e2e_find "$d\\ZYNDEMO.LOG")")
echo "$log"
grep -qi 'aquarium\\aquarium.exe' <<<"$log" || e2e_fail "no record of aquarium.exe"
grep -qi 'windows\\zynaqua.scr *= *0' <<<"$log" || e2e_fail "no shared record of the screen saver"
# A REG_BINARY value holds the bytes the packer put in as the resource its line names.
wine reg query 'HKCU\Software\Zyn\Aquarium' /v 'Tank Settings' </dev/null | tr -d '\r' |
  grep -q 'REG_BINARY *010000000C000000' || e2e_fail "the REG_BINARY value does not hold the packed bytes"
e2e_snapshot installed
"$E2E_ROOT/tests/e2e/snapshot" diff "$E2E_OUT/before.snap" "$E2E_OUT/installed.snap" || true

e2e_robot run "$d\\UNINSTAL.EXE" <<'EOF2'
allow dialog template=DLG_UNINSTALL_STATUS
expect messagebox caption="Confirm Uninstall"
shot uninstall-confirm
click ok
expect messagebox caption="Uninstall Complete"
shot uninstalled
click ok
exit 0
EOF2
e2e_wait_gone "$d"
e2e_snapshot after
# What install and uninstall leave by design: the screen saver the install replaced is
# deleted with the demo's own, not brought back; screen saving, switched off during the
# install, is switched on for good at its end; Wine's shell cannot report a program group's
# contents, so the emptied group is never found empty and its folder stays, and the folder
# windows it opens for every shown group leave their settings key behind.
"$E2E_ROOT/tests/e2e/snapshot" diff "$E2E_OUT/before.snap" "$E2E_OUT/after.snap" \
  '.* C:\\WINDOWS\\ZYNAQUA.SCR .*' \
  'D C:\\USERS\\[^\\]+\\APPDATA\\ROAMING\\MICROSOFT\\WINDOWS\\START MENU\\PROGRAMS\\ZYN AQUARIUM .*' \
  'K HKCU\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\EXPLORER\\ADVANCED' \
  'V HKCU\\CONTROL PANEL\\DESKTOP \| "ScreenSaveActive"="1"' \
  || e2e_fail "install and uninstall left the changes above"
