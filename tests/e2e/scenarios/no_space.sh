# A reserve larger than any disk: the space check says so (408/409) and returns to the
# destination dialog; leaving there installs nothing.
source "$ZYN_ROOT/tests/e2e/lib.sh"
e2e_script ExtraSpace=999999999999999
e2e_pack
e2e_boot
e2e_robot attach INST.EXE <<'EOF2'
expect dialog template=DLG_GET_DIRECTORY_32
click ok
expect messagebox caption="Not Enough Disk Space" text~=C:\ZYN\AQUARIUM
shot no-space
click ok
gone
expect dialog template=DLG_GET_DIRECTORY_32
click cancel
expect messagebox
click yes
exit 0
EOF2
e2e_lacks 'C:\ZYN'
