# A second uninstaller, started while the first waits for its confirmation, gives way changing
# nothing. A picture held open goes to the helper, which deletes it (and its directories) later.
source "$ZYN_ROOT/tests/e2e/lib.sh"
e2e_pack
e2e_install
e2e_hold "$d\\pictures\\tetra.bmp"
wine "$d\\UNINSTAL.EXE" </dev/null >/dev/null 2>&1 &
E2E_LEAVE=1 e2e_robot attach UNINSTAL.EXE <<<'expect messagebox caption="Confirm Uninstall"'
echo 'exit 0' | e2e_robot run "$d\\UNINSTAL.EXE"
e2e_has "$d\\aquarium.exe"
e2e_has "$d\\ZYNDEMO.LOG"
e2e_uninstall attach
grep -qi 'TETRA.BMP' "$(e2e_find 'C:\windows\helper.ini')" || e2e_fail "the held file was not handed to the helper"
e2e_lacks "$d\\aquarium.exe"
# The helper retries while the file is in use.
sleep 2
e2e_has "$d\\pictures\\tetra.bmp"
e2e_release
e2e_wait_gone "$d" 60
e2e_lacks 'C:\windows\helper.ini'
