# Cancel during the Files pass: the copy stops at its next block, message 415, then the rollback
# question. Yes gives back the machine as it was; No keeps the copied files, each recorded.
# The robot cancels while an overwrite question holds the copy of a large file.
source "$ZYN_ROOT/tests/e2e/lib.sh"
mkdir -p "$E2E_OUT/large"
head -c 1048576 /dev/urandom >"$E2E_OUT/large/large.dat"
e2e_script DisableScreenSavers=FALSE \
  -s '/^Picture Files,/i Large File, readme.txt,, large.dat, C, 1, N, N, 0, 1, N, Y, Y\r' \
  -s '/^Screen Saver Files,/i Large File, large.dat,, large.dat, C, 1, N, N, 0, 0, N, Y, Y\r'
e2e_pack --files "$E2E_OUT/large"
e2e_snapshot before

cancel() {  # the rollback answer, then the steps that follow it
  e2e_boot
  e2e_inst <<EOF2
expect dialog template=DLG_GET_DIRECTORY_32
click ok
expect dialog template=DLG_STATUS
expect messagebox caption="Files Already Exist"
# The status window names the file whose copy waits, not the one before it.
select template=DLG_STATUS 204~=:\large.dat 205=$d\large.dat
shot cancel-$1
click cancel
expect messagebox caption="Cancel Installation"
click yes
gone
select caption="Files Already Exist"
click yes
gone
expect messagebox text~="was cancelled"
click ok
gone
expect messagebox text~="undo the changes"
shot rollback-question
click $1
$(cat)
EOF2
  e2e_wait_gone 'C:\_zyntemp'
}

cancel yes <<'EOF2'
allow dialog template=DLG_UNINSTALL_STATUS
expect messagebox caption="Uninstall Complete"
click ok
exit 0
EOF2
e2e_lacks 'C:\ZYN'
e2e_snapshot rolled-back
"$E2E_ROOT/tests/e2e/snapshot" diff "$E2E_OUT/before.snap" "$E2E_OUT/rolled-back.snap" || e2e_fail "the rollback left these"

echo 'exit 0' | cancel no
# The large file stopped after its first block of 65,520 bytes; what comes after it was not copied.
[ "$(stat -c %s "$(e2e_find "$d\\large.dat")")" = 65520 ] || e2e_fail "large.dat is not one block long"
e2e_lacks 'C:\windows\zynaqua.scr'
e2e_lacks "$d\\UNINSTAL.EXE"
dest=$(e2e_find "$d")
while IFS= read -r f; do
  e2e_logged "$d\\ZYNDEMO.LOG" "$d\\$(tr / '\\' <<<"${f#"$dest"/}")"
done < <(find "$dest" -type f ! -iname zyndemo.log)
[ "$(find "$dest" -type f | wc -l)" -ge 9 ] || e2e_fail "fewer files copied than lie before the cancel"
