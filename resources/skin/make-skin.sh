#!/usr/bin/env bash
# Regenerates the committed skin pictures of the language resource libraries.
# Run from anywhere; needs ImageMagick's convert and python3 (for the cursor).
# One look: navy title blue, teal accent, light grey faces, dark slate text.
set -euo pipefail
cd "$(dirname "$0")"
navy='#1F3A5F' teal='#2A9D8F' tealdark='#1E7167' face='#E9EEF3' line='#9AA8B5' grey='#C9D1D9'
font=DejaVu-Sans-Bold

# Splash picture shown while the program starts.
convert -size 400x250 gradient:"$navy"-'#10223A' \
  -fill white -font $font -pointsize 40 -gravity center -annotate +0-20 'Quillon' \
  -fill "$teal" -draw 'rectangle 120,150 280,154' \
  -fill '#D0DCE8' -font DejaVu-Sans -pointsize 14 -annotate +0+50 'conference rooms and classes' \
  -strip back_intro.gif

# Background of the control sample dialog (JPEG) and a title strip (BMP).
convert -size 360x240 gradient:"$face"-'#D5DEE7' -quality 90 -strip back_sample.jpg
convert -size 360x28 xc:"$navy" -fill "$teal" -draw 'rectangle 0,26 359,27' -strip BMP3:title_bar.bmp

# Push button, 80 x 24: normal, pressed, hover, disabled.
btn() { convert -size 80x24 xc:"$2" -fill none -stroke "$3" -draw 'rectangle 0,0 79,23' -strip "BMP3:$1"; }
btn btn_normal.bmp "$teal" "$tealdark"
btn btn_pressed.bmp "$tealdark" "$navy"
btn btn_hover.bmp '#3BB3A4' "$tealdark"
btn btn_disabled.bmp "$grey" "$line"

# Check button, 24 x 24: unchecked, checked, hover, disabled.
chk() { convert -size 24x24 xc:"$face" -fill "$2" -stroke "$3" -draw 'rectangle 3,3 20,20' "${@:4}" -strip "BMP3:$1"; }
chk chk_off.bmp white "$line"
chk chk_on.bmp "$teal" "$tealdark" -stroke white -strokewidth 2 -draw 'line 7,12 10,16' -draw 'line 10,16 17,7'
chk chk_hover.bmp '#DDF2EF' "$teal"
chk chk_disabled.bmp "$grey" "$line"

# Slider pieces: channel, active channel, thumb.
convert -size 120x6 xc:"$grey" -strip BMP3:slider_channel.bmp
convert -size 120x6 xc:"$teal" -strip BMP3:slider_active.bmp
convert -size 10x16 xc:"$navy" -fill none -stroke white -draw 'line 5,3 5,12' -strip BMP3:slider_thumb.bmp

# Progress bar fill: a vertical light-to-accent gradient, stretched by the control.
convert -size 100x14 gradient:'#7FD3C8'-"$tealdark" -strip BMP3:progress_bar.bmp

python3 make-cursor.py hand.cur
