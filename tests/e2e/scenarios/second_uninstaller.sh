# A second uninstaller of the same demo, started while the first waits for its
# confirmation, gives way without changing anything; the first then removes the demo.
source "$ZYN_ROOT/tests/e2e/lib.sh"
d='C:\ZYN\AQUARIUM'
e2e_pack
e2e_install
wine "$d\\UNINSTAL.EXE" </dev/null >/dev/null 2>&1 &
E2E_LEAVE=1 e2e_robot attach UNINSTAL.EXE <<'EOF2'
expect messagebox caption="Confirm Uninstall"
EOF2
echo 'exit 0' | e2e_robot run "$d\\UNINSTAL.EXE"
e2e_has "$d\\aquarium.exe"
e2e_has "$d\\ZYNDEMO.LOG"
e2e_robot attach UNINSTAL.EXE <<'EOF2'
allow dialog template=DLG_UNINSTALL_STATUS
expect messagebox caption="Confirm Uninstall"
click ok
expect messagebox caption="Uninstall Complete"
click ok
exit 0
EOF2
e2e_wait_gone "$d"
