# A picture held open by a running program while the demo is removed: the uninstaller
# hands it and the directories around it to the helper, which deletes them once the
# program lets go.
source "$ZYN_ROOT/tests/e2e/lib.sh"
d='C:\ZYN\AQUARIUM'
e2e_pack
e2e_install
e2e_hold "$d\\pictures\\tetra.bmp"
e2e_uninstall "$d"
grep -qi 'TETRA.BMP' "$(e2e_find 'C:\windows\helper.ini')" || e2e_fail "the held file was not handed to the helper"
e2e_lacks "$d\\aquarium.exe"
sleep 2
e2e_has "$d\\pictures\\tetra.bmp"
e2e_release
e2e_wait_gone "$d" 60
e2e_lacks 'C:\windows\helper.ini'
