# A script without a variable start-up needs: the fatal-error dialog naming it, exit code -1.
source "$ZYN_ROOT/tests/e2e/lib.sh"
for missing in UninstallFileName DefaultDirectory; do
  e2e_script -d "^\$($missing)="
  e2e_pack --unchecked
  e2e_boot
  e2e_fatal -103 "350=\"ERROR_VAR_NOT_FOUND: Couldn't find the specified VAR\" 352=wm_inst" \
    'caption="Zyn Aquarium Setup" 350~="An error has occurred"' | e2e_robot attach INST.EXE
  # The fatal end, too, leaves the temporary copy to the helper.
  e2e_wait_gone 'C:\_zyntemp'
done
