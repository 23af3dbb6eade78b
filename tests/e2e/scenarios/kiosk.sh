# The sample as a kiosk: its [Protection] lines lock the machine down (the shell taken over by
# ZYNSHL32.EXE, the screen saver set, no start-up sound); the uninstaller undoes that.
source "$ZYN_ROOT/tests/e2e/lib.sh"
e2e_script KioskMode=Y
e2e_pack
printf '@ECHO OFF\r\n' >"$(e2e_c 'C:\AUTOEXEC.BAT')"
e2e_snapshot before
e2e_install

e2e_has "$d\\ZYNSHL32.EXE"
e2e_ini 'C:\windows\system.ini' boot shell "$d\\ZYNSHL32.EXE"
e2e_ini 'C:\windows\system.ini' boot SCRNSAVE.EXE 'C:\windows\zynaqua.scr'
# Wine's SYSTEM.INI names no shell: the one to go back to is the system's default.
e2e_ini "$d\\ZYNSHL32.INI" 'ZYN SHELL' OLDSHELL 'C:\windows\PROGMAN.EXE'
e2e_ini "$d\\aquarium.ini" Kiosk RunAsShell 1
e2e_snapshot installed
grep -qF 'RUNSERVICES | "ZYNChkShell32"="C:\\windows\\CHKSHL32.EXE C:\\windows C:\\windows\\PROGMAN.EXE"' \
  "$E2E_OUT/installed.snap" || e2e_fail "no start-up check of the shell"
grep -qF 'CONTROL PANEL\SOUNDS | "SystemStart"=""' "$E2E_OUT/installed.snap" || e2e_fail "the start-up sound is on"

e2e_uninstall "$d"
e2e_wait_gone "$d"
# Left by design: the WININIT.INI the shell take-over's clean-up makes; the AUTOEXEC.BAT backup.
e2e_clean_since before '. C:\\WINDOWS\\WININIT.INI .*' 'F C:\\AUTOEXEC.ZYN .*'
