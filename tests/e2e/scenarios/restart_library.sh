# A library that Windows keeps loaded (EVENTM32.DLL, held open) cannot go: message 3103, the
# helper entered in RunOnce, a restart requested (of a stand-in for Wine's session ender).
# Started as RunOnce would start it, the helper then removes the rest.
source "$ZYN_ROOT/tests/e2e/lib.sh"
e2e_script -i '^Uninstaller, SETUP.EXE' 'Program Files, readme.txt,, EVENTM32.DLL, C, 1, N, N, 0, 1, N, Y, Y'
e2e_pack
e2e_install
e2e_hold "$d\\EVENTM32.DLL"
# ExitWindowsEx has Wine start system32\wineboot.exe to end the session.
boot="$(e2e_c 'C:\windows\system32')/wineboot.exe"
rm -f "$boot" && cp "$E2E_BIN/zynrecord.exe" "$boot"
WINEDLLOVERRIDES="$WINEDLLOVERRIDES;wineboot.exe=n" e2e_uninstall "$d" \
  'expect messagebox caption="Zyn Aquarium Uninstall" text~="Windows will now be restarted"
click ok
exit 0'
runonce=$(wine reg query 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\RunOnce' /v ZYNUninstallHelper </dev/null 2>/dev/null | tr -d '\r' \
  | sed -n 's/.*ZYNUninstallHelper *REG_SZ *//p')
grep -qi 'HELPER.EXE .*HELPER.INI$' <<<"$runonce" || e2e_fail "no RunOnce entry for the helper"
# The request arrives from a process of its own (ending the session with --end-session).
for i in $(seq 1 100); do [ -f "$boot.calls" ] && break; sleep 0.1; done
grep -q -- '--end-session' "$boot.calls" 2>/dev/null || e2e_fail "no restart was requested"
e2e_has "$d\\EVENTM32.DLL"
e2e_lacks "$d\\aquarium.exe"
e2e_release
# shellcheck disable=SC2086  # the entry is a command line
wine $runonce </dev/null
e2e_wait_gone "$d"
