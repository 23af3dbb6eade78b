# Two demos in one change log, sharing the screen saver, a WIN.INI entry and a registry key:
# removing the first leaves the second's files and records, the shared changes in its state and
# the shared records naming it alone; removing the second removes the log as well.
source "$ZYN_ROOT/tests/e2e/lib.sh"
log='C:\windows\ZYNDEMO.LOG'
first='C:\ZYN\AQUARIUM' second='C:\ZYN\REEF'
e2e_script 'LogFile=$(WindowsDirectory)\ZYNDEMO.LOG'
e2e_pack
e2e_install
e2e_script 'LogFile=$(WindowsDirectory)\ZYNDEMO.LOG' -s 's/Zyn Aquarium/Zyn Reef/g'
e2e_pack
e2e_install "$second"

both=$(e2e_log "$log")
files=$(find "$(e2e_find "$second")" | sort)
e2e_uninstall "$first"
e2e_wait_gone "$first"
one=$(e2e_log "$log")
[ "$(e2e_block 'Demo 1' "$one")" = "$(e2e_block 'Demo 1' "$both")" ] || e2e_fail "the second demo's records changed"
[ "$(e2e_block HEADER "$one")" = "$(e2e_block HEADER "$both" | grep -v '^  Demo 0 = ')" ] || e2e_fail "HEADER is not the second's alone"
[ -z "$(e2e_block 'Demo 0' "$one")" ] || e2e_fail "the first demo's records stayed"
! e2e_block Common "$one" | grep -E '^ *0(,1)? = | = 0(, 1)?$' || e2e_fail "shared records still name the first demo"
e2e_block Common "$one" | grep -qxF '    C:\windows\zynaqua.scr = 1' || e2e_fail "the screen saver's record does not name the second demo"
[ "$(find "$(e2e_find "$second")" | sort)" = "$files" ] || e2e_fail "the second demo's files changed"
e2e_has 'C:\windows\zynaqua.scr'
e2e_ini 'C:\windows\win.ini' Aquarium Directory "$second"
wine reg query 'HKCU\Software\Zyn\Aquarium' /v Path </dev/null | tr -d '\r' | grep -qF "$second" || e2e_fail "the registry path changed"

e2e_uninstall "$second"
e2e_wait_gone "$second"
# C:\ZYN was the first demo's, not yet empty when it went: it stays, empty.
[ -z "$(ls -A "$(e2e_find 'C:\ZYN')")" ] || e2e_fail "C:\ZYN is not empty"
e2e_lacks "$log"
e2e_lacks 'C:\windows\zynaqua.scr'
e2e_ini 'C:\windows\win.ini' Aquarium Directory ''
