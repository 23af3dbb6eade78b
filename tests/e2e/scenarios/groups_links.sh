# The sample's program group with its two items, its desktop shortcut (with arguments), the
# codec installer it launches (which hands its work to a second process; the install waits for
# both) and its self-registering effects library: all there after install, all gone after it.
source "$ZYN_ROOT/tests/e2e/lib.sh"
e2e_script -s 's/^Zyn Aquarium, \$(DemoFileName), , /Zyn Aquarium, $(DemoFileName), \/tank reef, /'
e2e_pack
printf '@ECHO OFF\r\nPATH C:\\WINDOWS\r\n' >"$(e2e_c 'C:\AUTOEXEC.BAT')"
e2e_snapshot before

e2e_install

programs=$(find "$WINEPREFIX/drive_c/users" -type d -path '*/Start Menu/Programs' -print -quit)
group="$programs/Zyn Aquarium"
desktop=$(find "$WINEPREFIX/drive_c/users" -maxdepth 2 -iname Desktop -print -quit)
# Prints the link's fields; the Windows path of a Linux one.
lnk() { wine "$E2E_BIN/lnkread.exe" "Z:${1//\//\\}" </dev/null 2>/dev/null | tr -d '\r'; }
expect_field() { grep -qix "$2" <<<"$1" || e2e_fail "link field $2 not in: $1"; }

item=$(lnk "$group/Zyn Aquarium.lnk") || e2e_fail "no item Zyn Aquarium in the group"
expect_field "$item" 'target=C:\\ZYN\\AQUARIUM\\aquarium.exe'
item=$(lnk "$group/Uninstall Zyn Aquarium.lnk") || e2e_fail "no uninstall item in the group"
expect_field "$item" 'target=C:\\ZYN\\AQUARIUM\\UNINSTAL.EXE'
shortcut=$(lnk "$desktop/Zyn Aquarium.LNK") || e2e_fail "no desktop shortcut"
expect_field "$shortcut" 'target=C:\\ZYN\\AQUARIUM\\aquarium.exe'
expect_field "$shortcut" 'arguments=/tank reef'
expect_field "$shortcut" 'directory=C:\\ZYN\\AQUARIUM'

# Both processes of the codec installer wrote before the install saved its log at the end.
codec=$(e2e_find "$d\\codec.log") || e2e_fail "the codec installer did not run"
[ "$(tr -d '\r' <"$codec")" = $'codec copied\ncodec registered' ] || e2e_fail "codec.log: $(cat "$codec")"
[ "$codec" -ot "$(e2e_find "$d\\ZYNDEMO.LOG")" ] || e2e_fail "the install went on before the codec's second process ended"

clsid='HKCU\Software\Classes\CLSID\{5A594E41-5155-4146-5800-000000000001}'
reg_has() { wine reg query "$1" ${2:+/ve} </dev/null 2>/dev/null | tr -d '\r'; }
reg_has "$clsid\\InprocServer32" ve | grep -qi 'C:\\ZYN\\AQUARIUM\\aquafx.dll' || e2e_fail "the effects library is not registered"
reg_has 'HKCU\Software\Classes\Zyn.AquaFx\CLSID' ve | grep -q '{5A594E41' || e2e_fail "no ProgID for the effects library"

e2e_uninstall "$d"
e2e_wait_gone "$d"
[ ! -e "$group/Zyn Aquarium.lnk" ] && [ ! -e "$group/Uninstall Zyn Aquarium.lnk" ] || e2e_fail "group items left"
[ -z "$(ls -A "$group")" ] || e2e_fail "the group holds $(ls "$group")"
[ ! -e "$desktop/Zyn Aquarium.LNK" ] || e2e_fail "desktop shortcut left"
reg_has "$clsid" | grep -q . && e2e_fail "the effects library is still registered"
e2e_clean_since before
