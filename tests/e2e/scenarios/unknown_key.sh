# A demo key holding a record key that no section writes: the replay undoes what comes
# before it, then stops with -1903; the outcome message says so and the fatal report
# follows. What was undone stays undone, the rest stays recorded.
source "$ZYN_ROOT/tests/e2e/lib.sh"
d='C:\ZYN\AQUARIUM'
e2e_pack
e2e_install
logfile=$(e2e_find "$d\\ZYNDEMO.LOG")
