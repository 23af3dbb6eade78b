# Second runs. A second INST.EXE of a waiting install brings the first to the front and ends
# with 0, touching nothing. A second demo sharing the change log installs the same screen saver:
# its "Common" record lists both demos. A second start from its medium while it waits cannot
# replace the running copy's language library: the fatal-error dialog (-1); the install goes on.
source "$ZYN_ROOT/tests/e2e/lib.sh"
log='C:\ZYN\ZYNDEMO.LOG'
e2e_script LogFile="$log"
e2e_pack
e2e_script LogFile="$log" ApplicationName="Zyn Reef" InstallName="Zyn Reef Setup" DefaultDirectory='C:\ZYN\REEF'
E2E_MEDIUM="$E2E_OUT/medium-reef" e2e_pack
e2e_drive e cdrom "$E2E_OUT/medium-reef"

wait_at_destination() {
  e2e_boot "$1"
  E2E_LEAVE=1 e2e_robot attach INST.EXE <<<'expect dialog template=DLG_GET_DIRECTORY_32'
}
wait_at_destination d
touch "$E2E_OUT/marker"
echo 'exit 0' | e2e_robot run 'C:\_zyntemp\INST.EXE' BPOFF
"$ZYN_SHOT_CMD" "$ZYN_SHOT_DIR/first-in-front.png" || true
changed=$(find "$WINEPREFIX/drive_c" -newer "$E2E_OUT/marker")
[ -z "$changed" ] || e2e_fail "the second run changed: $changed"
e2e_finish
e2e_wait_gone 'C:\_zyntemp'

wait_at_destination e
e2e_fatal -1109 '350~=ERROR_ZYNDISK_COPY_OPEN_DEST 352=wm_inst' | e2e_robot run "E:\\$E2E_INSTALLER"
e2e_finish
e2e_has 'C:\ZYN\REEF\aquarium.exe'
e2e_logged "$log" 'C:\windows\zynaqua.scr' '0, 1'
