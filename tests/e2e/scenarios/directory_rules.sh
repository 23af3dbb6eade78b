# The destination dialog refuses a bare drive, a semicolon, the Windows directory and a
# CD-ROM drive, each with its message (a message box to the robot), and takes c:\demo\ as C:\DEMO.
source "$ZYN_ROOT/tests/e2e/lib.sh"
e2e_pack
e2e_boot
{
  echo 'allow dialog template=DLG_MODELESS'
  echo 'expect dialog template=DLG_GET_DIRECTORY_32 1000=C:\ZYN\AQUARIUM'
  for bad in 'C:' 'C:\' 'C:\DEMO;1' 'C:\WINDOWS\DEMO'; do
    printf 'set 1000 "%s"\nclick ok\nexpect messagebox caption=\"Invalid Path\"\nclick ok\ngone\n' "$bad"
  done
  printf 'set 1000 D:\\DEMO\nclick ok\n'
  echo 'expect messagebox caption="Destination Directory" text~=CD-ROM'
  printf 'shot cdrom-refused\nclick ok\ngone\n'
  printf 'set 1000 c:\\demo\\\nclick ok\ngone\n'
  echo 'expect messagebox caption="Installation Complete"'
  printf 'click ok\nexit 0\n'
} | e2e_robot attach INST.EXE
e2e_has 'C:\DEMO\aquarium.exe'
e2e_ini 'C:\DEMO\unins.ini' INFO LOGFile 'C:\DEMO\ZYNDEMO.LOG'
e2e_lacks 'C:\ZYN'
