# The main job from a CD-ROM drive: the bootstrap into C:\_zyntemp, INST.EXE with the same
# command line, language, destination, copy (one overwrite question), closing message; files,
# attributes, log records and unins.ini as the script says; the uninstaller undoes it all.
source "$ZYN_ROOT/tests/e2e/lib.sh"
# The screen saver asks before it overwrites (Warn 0); the pictures arrive read-only.
e2e_script GetLanguage=TRUE \
  -s '/^Screen Saver Files,/s/, 0, N, N, Y, Y/, 0, 0, N, Y, Y/' \
  -s '/^Picture Files,/s/, C, 1,/, R, 1,/'
e2e_pack
printf 'an older screen saver' >"$(e2e_c 'C:\windows')/zynaqua.scr"
printf '@ECHO OFF\r\nPATH C:\\WINDOWS\r\n' >"$(e2e_c 'C:\AUTOEXEC.BAT')"
e2e_snapshot before

e2e_boot d "BPOFF  extra"
e2e_has 'C:\_zyntemp\INST.EXE'
e2e_has 'C:\_zyntemp\HELPER.EXE'
e2e_has 'C:\_zyntemp\german.dll'
e2e_ini 'C:\_zyntemp\zyntemp.ini' misc 'source directory' 'D:\'
# Wine shows a program's command line as its process arguments (split at blanks).
pgrep -f -x '.*_zyntemp\\INST\.EXE BPOFF +extra' >/dev/null || e2e_fail "INST.EXE without the command line"
e2e_robot attach INST.EXE <<'EOF2'
allow dialog template=DLG_MODELESS
expect dialog template=DLG_LANGUAGE
shot main-window-and-language
click 1200
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

for f in aquarium.exe aquarium.ini readme.txt UNINSTAL.EXE uninstal.dll HELPER.EXE; do
  e2e_has "$d\\$f"
done
cmp -s "$(e2e_find 'C:\windows\zynaqua.scr')" "$E2E_MEDIUM/zynaqua.scr" || e2e_fail "the screen saver was not replaced"
e2e_ini "$d\\unins.ini" INFO DemoID 0
[ "$(head -n1 "$(e2e_find 'C:\AUTOEXEC.BAT')")" = $'SET AQUARIUM=C:\\ZYN\\AQUARIUM\r' ] || e2e_fail "AUTOEXEC.BAT not edited"
e2e_ini "$d\\unins.ini" INFO LOGFile "$d\\ZYNDEMO.LOG"
# The log: the demo's own files under its key, the screen saver under "Common".
e2e_logged "$d\\ZYNDEMO.LOG" "$d\\aquarium.exe"
e2e_logged "$d\\ZYNDEMO.LOG" 'C:\windows\zynaqua.scr' 0
# A REG_BINARY value holds the bytes the packer put in as the resource its line names.
wine reg query 'HKCU\Software\Zyn\Aquarium' /v 'Tank Settings' </dev/null | tr -d '\r' |
  grep -q 'REG_BINARY *010000000C000000' || e2e_fail "the REG_BINARY value does not hold the packed bytes"
e2e_snapshot installed
# Read-only as the script says (and archived: Wine reports every file it has written so).
grep -q '^F C:\\ZYN\\AQUARIUM\\PICTURES\\TETRA.BMP RA ' "$E2E_OUT/installed.snap" || e2e_fail "tetra.bmp is not read-only"

e2e_uninstall "$d"
e2e_wait_gone "$d"
# By design the screen saver the install replaced goes with the demo's own, not brought back.
e2e_clean_since before '.* C:\\WINDOWS\\ZYNAQUA.SCR .*'
