# Pictures on the installer's screen, checked by pixels of screenshots: a tiled background,
# a billboard added and removed by event lines, a sixth refused (the overwrite question and the
# refusal box hold the install for the shots); a static picture over the graded background;
# an unknown event and one without its parameters end the run (-1704, -2501).
source "$ZYN_ROOT/tests/e2e/lib.sh"
pics="$E2E_OUT/pictures"
mkdir -p "$pics"
# The tile: 32 by 32, its left half orange, its right half purple.
convert -size 16x32 xc:'#ff8000' -size 16x32 xc:'#8000ff' +append -type TrueColor -compress none "BMP3:$pics/TILE.bmp"
convert -size 100x80 xc:'#ff0000' -type Palette -compress none "BMP3:$pics/PICT1.bmp"
n=2
for color in '#00ff00' '#ffff00' '#00ffff' '#ff00ff' '#ffffff'; do
  convert -size 40x40 xc:"$color" -compress none "BMP3:$pics/PICT$n.bmp"
  n=$((n + 1))
done
convert -size 120x90 xc:'#00c000' -type Palette -compress none "BMP2:$pics/STATIC.bmp"  # a core header

# Where the main window's client area starts on the screen: found on the first shot.
ox=0 oy=0
pixel() { convert "$ZYN_SHOT_DIR/$1.png" -format "%[pixel:p{$(($2 + ox)),$(($3 + oy))}]" info:; }
expect_pixel() {  # SHOT X Y COLOUR WHAT: the client-area pixel has the colour
  local got
  got=$(pixel "$1" "$2" "$3")
  [ "$got" = "$4" ] || e2e_fail "$1: $5 at ($2, $3) is $got, wanted $4"
}
orange='srgb(255,128,0)' purple='srgb(128,0,255)'
# The tile window has a border: its pictures start one pixel into the client area.
tile_color() { if (( ($1 - 1) % 32 < 16 )); then echo "$orange"; else echo "$purple"; fi; }

first_file='^Program Files, aquarium.exe'

printf 'an older screen saver' >"$(e2e_c 'C:\windows')/zynaqua.scr"
events=()  # at the start of [Files], in this order
for line in '{ADD_GRAPHIC_TYPE, PICT1, 40, 60}' \
  'Screen Saver Files, zynaqua.scr,, $(WindowsDirectory)\$(ApplicationSSVName), C, 1, N, N, 0, 0, N, N, Y' \
  '{REMOVE_GRAPHIC_TYPE, PICT1}' \
  '{ADD_GRAPHIC_TYPE, PICT2, 300, 500}' '{ADD_GRAPHIC_TYPE, PICT3, 360, 500}' \
  '{ADD_GRAPHIC_TYPE, PICT4, 420, 500}' '{ADD_GRAPHIC_TYPE, PICT5, 480, 500}' \
  '{ADD_GRAPHIC_TYPE, PICT6, 540, 500}'; do
  events+=(-i "$first_file" "$line")
done
e2e_script TileBmp=TILE -d '^{' -d '^Screen Saver Files,' "${events[@]}"
e2e_pack --pictures "$pics"
e2e_install '' 'expect messagebox caption="Files Already Exist"
shot pict1-added
click yes
gone
expect messagebox caption="ERROR" text="Too Many IMAGES!"
shot too-many
click ok
gone'

# The tile window's border is the client area's first row; the first orange row follows.
oy=$(convert "$ZYN_SHOT_DIR/destination.png" -crop 1x80+5+0 txt:- | awk -F'[,:]' '/#FF8000/ && !found++ { print $2 - 1 }')
[ -n "$oy" ] || e2e_fail "no tile at the top of the screen"
frame=$(pixel destination 0 300)
# Corners and edges of the screen, clear of the dialog in its middle.
for point in 9,9 25,9 9,737 25,737 1009,9 993,737 505,9 521,737 9,393 1009,393; do
  expect_pixel destination "${point%,*}" "${point#*,}" "$(tile_color "${point%,*}")" "the tile"
done
# PICT1 sits in the tile window at (40, 60): its frame, then 100 by 80 pixels.
expect_pixel pict1-added $((1 + 40 + 1)) $((1 + 60 + 1)) 'srgb(255,0,0)' "PICT1's top left"
expect_pixel pict1-added $((1 + 40 + 100)) $((1 + 60 + 80)) 'srgb(255,0,0)' "PICT1's bottom right"
expect_pixel pict1-added $((1 + 40)) $((1 + 60 + 40)) "$frame" "PICT1's frame"
expect_pixel pict1-added $((1 + 40 + 102)) $((1 + 60 + 40)) "$(tile_color $((1 + 40 + 102)))" "the tile beside PICT1"
expect_pixel too-many $((1 + 40 + 50)) $((1 + 60 + 40)) "$(tile_color $((1 + 40 + 50)))" "the tile where PICT1 was"
n=2
for color in 'srgb(0,255,0)' 'srgb(255,255,0)' 'srgb(0,255,255)' 'srgb(255,0,255)'; do
  expect_pixel too-many $((1 + 300 + (n - 2) * 60 + 20)) $((1 + 500 + 20)) "$color" "PICT$n"
  n=$((n + 1))
done
expect_pixel too-many $((1 + 540 + 20)) $((1 + 500 + 20)) "$(tile_color $((1 + 540 + 20)))" "the refused PICT6's place"

e2e_script TileBmp= StaticBmp=STATIC StaticBmpX=60 StaticBmpY=520
e2e_pack --pictures "$pics"
e2e_boot
e2e_robot attach INST.EXE <<'EOF2'
expect dialog template=DLG_GET_DIRECTORY_32
shot static
click cancel
expect messagebox caption="Cancel Installation"
click yes
gone
exit 0
EOF2
expect_pixel static $((60 + 1)) $((520 + 1)) 'srgb(0,192,0)' "the static picture's top left"
expect_pixel static $((60 + 120)) $((520 + 90)) 'srgb(0,192,0)' "the static picture's bottom right"
expect_pixel static 59 560 "$(pixel static 40 560)" "the graded background beside the static picture"
[ "$(pixel static 40 560)" != 'srgb(0,192,0)' ] || e2e_fail "the static picture is wider than it should be"

for bad in '{SHOW_MOVIE, PICT1}:-1704' '{ADD_GRAPHIC_TYPE, PICT1, 40}:-2501'; do
  line=${bad%:*} code=${bad#*:}
  # A destination of its own: the one before holds an installation already.
  e2e_script "DefaultDirectory=C:\ZYN\EV${code#-}" -d '^{' -i "$first_file" "$line"
  e2e_pack --unchecked --pictures "$pics"
  e2e_boot
  {
    printf '%s\n' 'expect dialog template=DLG_GET_DIRECTORY_32' 'click ok'
    e2e_fatal "$code" 352=event
  } | e2e_inst
done
