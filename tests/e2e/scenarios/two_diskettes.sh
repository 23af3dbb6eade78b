# A two-diskette install: the diskette dialog names diskette 2 and its missing file, and the
# install goes on once given the second diskette's folder.
source "$ZYN_ROOT/tests/e2e/lib.sh"
# The codec installer lies on diskette 1, out of the drive once diskette 2 is in: not run here.
e2e_script -s '/^1 = Zyn Aquarium Disk 1/a 2 = Zyn Aquarium Disk 2\r' \
  -d '^Program Files, readme.txt,' -d '^Aquarium Video Codec,' \
  -s '/^Uninstaller, HELPER.EX_,/a Program Files, readme.txt,, readme.txt, C, 2, N, N, 0, 1, N, Y, Y\r'
e2e_pack
[ -f "$E2E_MEDIUM/DISK2/readme.txt" ] && [ ! -e "$E2E_MEDIUM/DISK1/readme.txt" ] || e2e_fail "readme.txt not on diskette 2"
e2e_drive a floppy "$E2E_MEDIUM/DISK1"
e2e_drive b floppy "$E2E_MEDIUM/DISK2"
e2e_boot a
e2e_finish '' 'expect dialog template=DLG_DISKETTE 301="Zyn Aquarium Disk 2" 302=A:\readme.txt 300=A:
shot diskette
set 300 B:\
click ok
gone'
e2e_has 'C:\ZYN\AQUARIUM\HELPER.EXE'
e2e_has 'C:\ZYN\AQUARIUM\readme.txt'
e2e_logged 'C:\ZYN\AQUARIUM\ZYNDEMO.LOG' 'C:\ZYN\AQUARIUM\readme.txt' 0
