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

# Bitmap slider pieces on a magenta key: horizontal channel, active channel, thumb, thumb while dragged,
# and a vertical channel pair.
key='#FF00FF'
track() { convert -size "$2" xc:"$key" +antialias -fill "$3" -stroke "$line" -draw "$4" -strip "BMP3:$1"; }
track slider_track.bmp 120x16 "$grey" 'rectangle 0,6 119,9'
track slider_track_active.bmp 120x16 "$teal" 'rectangle 0,6 119,9'
track slider_vtrack.bmp 16x90 "$grey" 'rectangle 6,0 9,89'
track slider_vtrack_active.bmp 16x90 "$teal" 'rectangle 6,0 9,89'
knob() { convert -size 12x16 xc:"$key" +antialias -fill "$2" -stroke "$navy" -draw 'roundrectangle 1,0 10,15 3,3' \
  -stroke white -draw 'line 5,4 5,11' -draw 'line 7,4 7,11' -strip "BMP3:$1"; }
knob slider_knob.bmp "$navy"
knob slider_knob_active.bmp "$teal"

# Menu item images: a 16-colour toolbar strip of 16 x 15 buttons on the classic grey, whose black,
# greys and white become the system's button colours when loaded. Whisper, video, presenter, send out.
convert -size 64x15 xc:'#C0C0C0' +antialias \
  -fill '#008080' -stroke '#000000' -draw 'rectangle 1,2 14,10' -draw 'line 4,10 4,13' -draw 'line 4,13 7,10' \
  -fill '#000080' -stroke '#000000' -draw 'rectangle 17,4 27,11' -draw 'polygon 27,7 30,4 30,11' \
  -fill '#FFFF00' -stroke '#808000' -draw 'polygon 40,1 42,6 47,6 43,9 45,14 40,11 35,14 37,9 33,6 38,6' \
  -stroke '#FF0000' -draw 'line 50,2 61,13' -draw 'line 51,2 62,13' -draw 'line 61,2 50,13' -draw 'line 62,2 51,13' \
  -type Palette -strip BMP3:menu_toolbar.bmp

python3 make-cursor.py hand.cur
python3 make-cursor.py capture.cur capture.txt 15 15

# The notices: title band pieces (left, stretched middle, right), the notice box's body and the
# share notice bar's background.
title='#DCE4EE'
convert -size 12x34 xc:"$title" -fill "$navy" -draw 'rectangle 0,0 2,33' -fill "$line" -draw 'line 0,33 11,33' -strip dlg_title2_L.gif
convert -size 8x34 xc:"$title" -fill "$line" -draw 'line 0,33 7,33' -strip dlg_title_M.gif
convert -size 30x34 xc:"$title" -fill "$line" -draw 'line 0,33 29,33' -fill "$teal" -draw 'rectangle 12,12 21,21' -strip dlg_title_R.gif
convert -size 290x136 xc:'#F6F6F6' -fill none -stroke '#7082A1' -draw 'rectangle 0,0 289,135' \
  -draw 'line 0,0 289,0' -strip back_infoBody.gif
convert -size 400x26 gradient:"$navy"-'#10223A' -fill "$teal" -draw 'rectangle 0,24 399,25' -strip back_sharerTop.gif

# Labelled picture buttons, three states (normal, pressed, focus): name label width.
labelled() {
  local name=$1 label=$2 width=$3
  lbtn() { convert -size "${width}x22" xc:"$2" -fill none -stroke "$3" -draw "rectangle 0,0 $((width - 1)),21" \
    -stroke none -fill "$4" -font DejaVu-Sans -pointsize 11 -gravity center -annotate +0+0 "$label" -strip "BMP3:$1"; }
  lbtn "${name}_n.bmp" "$teal" "$tealdark" white
  lbtn "${name}_p.bmp" "$tealdark" "$navy" white
  lbtn "${name}_f.bmp" '#3BB3A4' "$navy" white
}
# The notice box: two-button set (OK, Cancel) and three-button set (Yes, No, Cancel).
labelled box2_ok OK 76
labelled box2_cancel Cancel 76
labelled box3_yes Yes 70
labelled box3_no No 70
labelled box3_cancel Cancel 70
# The invitation notice (accept, decline) and the zoom dialog (OK, Cancel).
labelled invite_accept Accept 72
labelled invite_decline Decline 72
labelled zoom_ok OK 66
labelled zoom_cancel Cancel 66
# The greyed accept button, also the decline button's disabled picture.
convert -size 72x22 xc:"$grey" -fill none -stroke "$line" -draw 'rectangle 0,0 71,21' -strip BMP3:invite_disabled.bmp
# Close boxes (normal, pressed, focus, disabled): the zoom dialog's title and the share bar.
closebox() { convert -size 16x16 xc:"$2" -stroke "$3" -strokewidth 2 -draw 'line 4,4 11,11' -draw 'line 11,4 4,11' -strip "BMP3:$1"; }
closebox close_n.bmp "$title" "$navy"
closebox close_p.bmp "$line" white
closebox close_f.bmp '#C5D3E2' "$teal"
closebox close_d.bmp "$title" "$grey"
# The share bar's drawing-tool toggle: normal, pressed, hover, disabled.
pen() { convert -size 16x16 xc:"$2" -stroke "$3" -strokewidth 2 -draw 'line 3,12 12,3' -draw 'line 3,12 3,13' -strip "BMP3:$1"; }
pen pen_n.bmp "$navy" white
pen pen_p.bmp "$teal" white
pen pen_h.bmp '#2B4D78' '#DDF2EF'
pen pen_d.bmp "$navy" "$grey"

# The dialer: its background below the title band, the twelve number keys, the call, video call,
# hang-up, backspace and add-number buttons, the three tabs (off, on, hover), the entry form's add
# button and the three kind images of the phone book (voice, video, terminal) in one strip.
convert -size 258x346 gradient:"$face"-'#D5DEE7' -fill white -stroke "$line" -draw 'rectangle 9,8 174,35' \
  -strip back_HTerminal.gif
keyface() {
  local name=$1 label=$2 width=$3 height=$4
  kbtn() { convert -size "${width}x${height}" xc:"$2" -fill none -stroke "$3" -draw "roundrectangle 0,0 $((width - 1)),$((height - 1)) 5,5" \
    -stroke none -fill "$4" -font $font -pointsize "$5" -gravity center -annotate +0+0 "$label" -type Palette -strip "BMP3:$1"; }
  kbtn "${name}_n.bmp" white "$line" "$navy" "$5"
  kbtn "${name}_p.bmp" "$teal" "$tealdark" white "$5"
  kbtn "${name}_f.bmp" '#DDF2EF' "$teal" "$navy" "$5"
}
for k in 0 1 2 3 4 5 6 7 8 9; do keyface "dial_$k" "$k" 76 40 18; done
keyface dial_star '*' 76 40 18
keyface dial_hash '#' 76 40 18
keyface dial_voice 'Call' 76 30 11
keyface dial_video 'Video call' 76 30 10
keyface dial_hangup 'Hang up' 76 30 11
keyface dial_back '<' 34 26 14
keyface dial_add '+' 34 26 14
keyface phone_add 'Add' 24 22 9
tab() {
  local name=$1 label=$2
  ttab() { convert -size 80x28 xc:"$2" -fill none -stroke "$3" -draw 'rectangle 0,0 79,27' \
    -stroke none -fill "$4" -font DejaVu-Sans -pointsize 11 -gravity center -annotate +0+0 "$label" -type Palette -strip "BMP3:$1"; }
  ttab "${name}_off.bmp" "$face" "$line" "$navy"
  ttab "${name}_on.bmp" "$navy" "$navy" white
  ttab "${name}_hover.bmp" '#DDF2EF' "$teal" "$navy"
}
tab tab_pad 'Keypad'
tab tab_book 'Phone book'
tab tab_web 'Web page'
convert -size 48x16 xc:white +antialias \
  -fill "$teal" -stroke "$tealdark" -draw 'roundrectangle 4,2 11,13 2,2' \
  -fill "$navy" -stroke "$navy" -draw 'rectangle 17,4 26,11' -draw 'polygon 26,7 30,4 30,11' \
  -fill "$grey" -stroke "$navy" -draw 'rectangle 34,2 45,10' -draw 'line 39,10 39,13' -draw 'line 36,13 42,13' \
  -strip BMP3:phone_kinds.bmp

# The memo pad: its title band (left, stretched middle, right), the menu, minimise and close
# buttons (normal, pressed, focus) and its window icon.
memo='#FFF3A6'
convert -size 40x22 xc:"$memo" -fill "$navy" -draw 'rectangle 0,0 1,21' -fill "$line" -draw 'line 0,21 39,21' -strip MemoTitle1.gif
convert -size 8x22 xc:"$memo" -fill "$line" -draw 'line 0,21 7,21' -strip MemoTitle2.gif
convert -size 40x22 xc:"$memo" -fill "$line" -draw 'line 0,21 39,21' -fill "$navy" -draw 'rectangle 38,0 39,21' -strip MemoTitle3.gif
memobtn() { convert -size "$2" xc:"$3" -stroke "$4" -draw "$5" -strip "BMP3:$1"; }
for state in n:"$memo":"$navy" p:"$teal":white f:'#DDF2EF':"$teal"; do
  IFS=: read -r s back fore <<<"$state"
  memobtn "memo_menu_$s.bmp" 13x12 "$back" "$fore" 'line 2,3 10,3 line 2,6 10,6 line 2,9 10,9'
  memobtn "memo_min_$s.bmp" 14x12 "$back" "$fore" 'line 3,9 10,9'
  memobtn "memo_close_$s.bmp" 14x12 "$back" "$fore" 'line 3,2 10,9 line 10,2 3,9'
done
convert -size 32x32 xc:none -fill "$memo" -stroke "$navy" -draw 'rectangle 4,2 27,29' \
  -stroke "$line" -draw 'line 8,9 23,9' -draw 'line 8,14 23,14' -draw 'line 8,19 23,19' -draw 'line 8,24 18,24' \
  -define icon:auto-resize=32,16 -strip memo.ico

# The invitation's sound: two short rising tones.
python3 - <<'PY'
import math, struct, wave
rate = 22050
samples = []
for freq in (660.0, 880.0):
    n = int(rate * 0.12)
    for i in range(n):
        fade = min(1.0, i / 200.0, (n - i) / 200.0)
        samples.append(int(9000 * fade * math.sin(2 * math.pi * freq * i / rate)))
with wave.open('invite.wav', 'wb') as w:
    w.setnchannels(1)
    w.setsampwidth(2)
    w.setframerate(rate)
    w.writeframes(b''.join(struct.pack('<h', s) for s in samples))
PY

# The sound test's tone (the sound settings play it looping): half a second of 1 kHz.
sox -n -r 22050 -c 1 -b 16 test_tone.wav synth 0.5 sine 1000 fade 0.005 0.5 0.005 vol 0.4

# The participant list: its cell pictures (16 x 16 on white), header and find-bar pictures and
# the small buttons of its header and find bar.
cell() { convert -size 16x16 xc:white +antialias "${@:2}" -type Palette -strip "BMP3:$1"; }
mic() {
  local out=$1 fill=$2 stroke=$3
  shift 3
  cell "$out" -fill "$fill" -stroke "$stroke" -draw 'roundrectangle 6,1 9,9 2,2' -fill none -draw 'arc 4,4 11,11 0,180' \
    -draw 'line 7,12 7,14' -draw 'line 5,14 10,14' "$@"
}
cell cell_blank.bmp
mic voice_on.bmp "$teal" "$tealdark"
mic voice_off.bmp "$grey" "$line" -stroke '#C03030' -strokewidth 2 -draw 'line 3,3 12,12'
mic voice_speak.bmp '#F29E1F' '#B86E00' -draw 'line 12,3 14,1' -draw 'line 13,6 15,6'
cell voice_err.bmp -stroke '#C03030' -strokewidth 2 -draw 'line 3,3 12,12' -draw 'line 12,3 3,12'
mic voice_dis.bmp '#EEEEEE' "$grey"
cell board_true.bmp -fill "$teal" -stroke "$tealdark" -draw 'polygon 3,12 11,4 13,6 5,14' -draw 'line 2,14 3,13'
cell board_false.bmp -fill "$grey" -stroke "$line" -draw 'polygon 3,12 11,4 13,6 5,14' -draw 'line 2,14 3,13'
convert -size 6x20 xc:"$title" -fill "$navy" -draw 'rectangle 0,0 2,19' -fill "$line" -draw 'line 0,19 5,19' -strip back_header_left.gif
convert -size 8x20 xc:"$title" -fill "$line" -draw 'line 0,19 7,19' -strip back_header_middle.gif
convert -size 4x20 xc:"$title" -fill "$line" -draw 'line 0,19 3,19' -strip back_header_right.gif
convert -size 6x26 xc:white -fill none -stroke "$line" -draw 'roundrectangle 3,4 12,21 4,4' -strip back_userlist_seach_left.gif
convert -size 8x26 xc:white -stroke "$line" -draw 'line 0,4 7,4' -draw 'line 0,21 7,21' -strip back_userlist_seach_middle.gif
convert -size 6x26 xc:white -fill none -stroke "$line" -draw 'roundrectangle -7,4 2,21 4,4' -strip back_userlist_seach_right.gif
# The floating panel's transparency slider: a short track under the slider's knob.
track panel_alpha_track.bmp 50x16 "$grey" 'rectangle 0,6 49,9'
glyph() { convert -size 16x16 xc:"$2" +antialias -stroke "$3" -strokewidth 2 "${@:4}" -type Palette -strip "BMP3:$1"; }
for s in n:"$title":"$navy" p:"$line":white f:'#C5D3E2':"$teal" d:"$title":"$grey"; do
  IFS=: read -r k back fore <<<"$s"
  [ "$k" = f ] || glyph "find_next_$k.bmp" "$back" "$fore" -fill none -draw 'circle 6,6 6,10' -draw 'line 9,9 13,13'
  glyph "panel_float_$k.bmp" "$back" "$fore" -fill none -draw 'rectangle 3,5 12,12' -draw 'line 6,2 14,2' -draw 'line 14,2 14,9'
  glyph "chat_colour_$k.bmp" "$back" "$fore" -fill '#C03030' -draw 'rectangle 2,2 7,7' -fill "$teal" -draw 'rectangle 8,2 13,7' \
    -fill '#F29E1F' -draw 'rectangle 2,8 7,13' -fill "$navy" -draw 'rectangle 8,8 13,13'
  glyph "chat_save_$k.bmp" "$back" "$fore" -fill none -draw 'rectangle 2,2 13,13' -draw 'rectangle 5,2 10,6' \
    -draw 'line 5,10 10,10'
  [ "$k" = f ] || glyph "agenda_delete_$k.bmp" "$back" "$fore" -draw 'line 4,4 11,11' -draw 'line 11,4 4,11'
  [ "$k" = d ] && continue
  glyph "list_menu_$k.bmp" "$back" "$fore" -draw 'line 3,4 12,4' -draw 'line 3,8 12,8' -draw 'line 3,12 12,12'
  glyph "panel_hide_$k.bmp" "$back" "$fore" -draw 'line 3,10 7,6' -draw 'line 7,6 11,10'
  [ "$k" = f ] || glyph "panel_show_$k.bmp" "$back" "$fore" -draw 'line 3,6 7,10' -draw 'line 7,10 11,6'
done

# The agenda tree's item pictures: the whiteboard, a document, a page.
convert -size 48x16 xc:white +antialias -fill white -stroke "$navy" -draw 'rectangle 1,2 14,13' \
  -stroke "$teal" -draw 'line 3,10 7,6' -draw 'line 7,6 12,9' \
  -fill "$title" -stroke "$navy" -draw 'polygon 17,3 22,3 24,5 30,5 30,13 17,13' \
  -fill white -draw 'polygon 35,1 42,1 45,4 45,14 35,14' -stroke "$line" -draw 'line 37,6 43,6' -draw 'line 37,9 43,9' \
  -type Palette -strip BMP3:agenda_items.bmp

# The layout menu's pictures.
./make-layouts.sh

# The messenger window: its icon, the three top pictures (left, stretched middle, right: the title
# band over the button row), the transfer panel's background, the save, file and invite buttons
# and the caption's minimise, maximise, restore and close boxes, each normal, pressed, focus and
# disabled.
convert -size 32x32 xc:none -fill "$teal" -draw 'roundrectangle 2,4 29,23 5,5' -draw 'polygon 8,22 8,29 15,22' \
  -fill white -draw 'rectangle 8,10 23,11' -draw 'rectangle 8,15 19,16' messenger.ico
mtop() { convert -size "$2x82" xc:"$face" -fill "$navy" -draw "rectangle 0,0 $(($2 - 1)),22" \
  -fill "$teal" -draw "rectangle 0,23 $(($2 - 1)),24" "${@:3}" -strip "$1"; }
mtop Mback_top1.gif 40 -fill "$teal" -draw 'circle 20,11 20,4'
mtop Mback_top2.gif 8
mtop Mback_top3.gif 40
convert -size 250x49 gradient:white-"$face" -fill none -stroke "$line" -draw 'rectangle 0,0 249,48' -strip back_FSendbarDlg.gif
mbtn() {
  local name=$1 label=$2 width=$3 height=$4 size=$5
  one() { convert -size "${width}x${height}" xc:"$2" -fill none -stroke "$3" -draw "rectangle 0,0 $((width - 1)),$((height - 1))" \
    -stroke none -fill "$4" -font DejaVu-Sans -pointsize "$size" -gravity center -annotate +0+0 "$label" -type Palette -strip "BMP3:$1"; }
  one "msg_${name}_n.bmp" "$face" "$line" "$navy"
  one "msg_${name}_p.bmp" "$teal" "$tealdark" white
  one "msg_${name}_f.bmp" '#DDF2EF' "$teal" "$navy"
  one "msg_${name}_d.bmp" "$face" "$grey" "$line"
}
mbtn save 'Save' 75 49 12
mbtn file 'File' 75 49 12
mbtn invite 'Invite' 75 49 12
mbtn min '_' 18 17 10
mbtn max '+' 18 17 10
mbtn restore '=' 18 17 10
mbtn close 'x' 18 17 10

# The media-share tool bar: its background (left, stretched middle, right; 52 high) and its
# buttons (30 x 30: normal, pressed, focus, disabled) with a drawn sign, the mute toggle
# (20 x 20, normal, pressed, hover; the muted set crossed out) and its sliders' pieces.
convert -size 12x52 gradient:"$face"-'#D5DEE7' -fill "$teal" -draw 'rectangle 0,0 3,51' -strip mediashareCtrl_back_left.gif
convert -size 8x52 gradient:"$face"-'#D5DEE7' -strip mediashareCtrl_back_middle.gif
convert -size 12x52 gradient:"$face"-'#D5DEE7' -fill "$teal" -draw 'rectangle 8,0 11,51' -strip mediashareCtrl_back_right.gif
msbtn() {
  local name=$1 sign=$2
  one() { convert -size 30x30 xc:"$2" -fill none -stroke "$3" -draw 'rectangle 0,0 29,29' \
    -stroke none -fill "$4" -draw "$sign" -type Palette -strip "BMP3:$1"; }
  one "ms_${name}_n.bmp" "$face" "$line" "$navy"
  one "ms_${name}_p.bmp" "$teal" "$tealdark" white
  one "ms_${name}_f.bmp" '#DDF2EF' "$teal" "$navy"
  one "ms_${name}_d.bmp" "$face" "$grey" "$line"
}
msbtn open 'polygon 8,20 22,20 22,14 15,8 8,14'
msbtn play 'polygon 10,7 22,15 10,23'
msbtn pause 'rectangle 9,8 13,22 rectangle 17,8 21,22'
msbtn stop 'rectangle 9,9 21,21'
msmute() {
  local name=$1 extra=$2
  one() { convert -size 20x20 xc:"$2" -fill "$3" -draw 'polygon 4,8 8,8 13,4 13,16 8,12 4,12' \
    -stroke "$4" -strokewidth 2 -draw "$extra" -type Palette -strip "BMP3:$1"; }
  one "ms_${name}_n.bmp" "$face" "$navy" "$navy"
  one "ms_${name}_p.bmp" "$teal" white white
  one "ms_${name}_f.bmp" '#DDF2EF' "$navy" "$navy"
}
msmute mute 'line 15,7 15,13'
msmute muted 'line 3,3 17,17'
convert -size 200x8 xc:"$grey" -fill none -stroke "$line" -draw 'rectangle 0,0 199,7' -strip BMP3:ms_seek_channel.bmp
convert -size 10x16 xc:"$navy" -fill none -stroke white -draw 'line 5,3 5,12' -strip BMP3:ms_thumb.bmp
convert -size 60x16 xc:"$face" -fill "$grey" -draw 'polygon 0,15 59,15 59,2' -strip BMP3:ms_volume_channel.bmp

# The room window's icons: the room (a board with two seats before it) and a recording played back.
convert -size 32x32 xc:none -fill "$navy" -draw 'roundrectangle 2,2 29,29 6,6' \
  -fill white -draw 'rectangle 7,7 24,17' -fill "$teal" -draw 'circle 11,24 11,21' -draw 'circle 20,24 20,21' \
  -define icon:auto-resize=32,16 -strip room.ico
convert -size 32x32 xc:none -fill "$teal" -draw 'roundrectangle 2,2 29,29 6,6' \
  -fill white -draw 'polygon 11,8 11,24 24,16' -define icon:auto-resize=32,16 -strip room_player.ico

# The room's control bar: its background (left end, stretched middle, right end; 60 high, the menu
# row over the button row) and the separator, the menu buttons' face (the caption is drawn on it),
# the glyph buttons of the second row (26 x 24) and the window buttons (16 x 16), each normal,
# pressed or checked, hover and disabled.
barback() { convert -size "$2x60" gradient:"$face"-'#D5DEE7' -fill '#F4F7FA' -draw "rectangle 0,0 $(($2 - 1)),24" \
  -fill "$line" -draw "line 0,25 $(($2 - 1)),25" -fill "$line" -draw "line 0,59 $(($2 - 1)),59" "${@:3}" -strip "$1"; }
barback back_ctrldlg_L.gif 12 -fill "$navy" -draw 'rectangle 0,0 2,59'
barback back_ctrldlg_M.gif 8
barback back_ctrldlg_R.gif 12 -fill "$navy" -draw 'rectangle 9,0 11,59'
convert -size 8x22 xc:"$face" -fill "$line" -draw 'line 3,0 3,21' -fill white -draw 'line 4,0 4,21' -strip back_ctrldlg_Bar.gif
barface() { convert -size "$2" xc:"$3" -fill none -stroke "$4" -draw "$5" -strip "BMP3:$1"; }
for s in n:'#F4F7FA':'#F4F7FA' p:"$teal":"$tealdark" h:'#DDF2EF':"$teal" d:'#F4F7FA':'#F4F7FA'; do
  IFS=: read -r k back edge <<<"$s"
  barface "bar_menu_$k.bmp" 44x18 "$back" "$edge" 'rectangle 0,0 43,17'
  barface "bar_layout_$k.bmp" 80x24 "$back" "$edge" 'rectangle 0,0 79,23'
done
# A glyph button in the four states: name, then the glyph's drawing arguments.
barglyph() {
  local name=$1
  shift
  local s k back edge fore
  for s in n:"$face":"$line":"$navy" p:"$teal":"$tealdark":white h:'#DDF2EF':"$teal":"$navy" d:"$face":"$grey":"$line"; do
    IFS=: read -r k back edge fore <<<"$s"
    convert -size 26x24 xc:"$back" +antialias -fill none -stroke "$edge" -draw 'rectangle 0,0 25,23' \
      -stroke "$fore" -fill "$fore" "$@" -type Palette -strip "BMP3:bar_${name}_$k.bmp"
  done
}
barglyph camera -draw 'rectangle 5,8 16,16' -draw 'polygon 17,12 21,8 21,16'
# The voice buttons by state: the speaker sounding (mute 209-212) or muted (213-215), the microphone
# talking (217-220) or closed (221-223); a device that failed shows one picture (216, 224).
speaker='polygon 6,10 9,10 13,6 13,18 9,14 6,14'
microphone=(-draw 'roundrectangle 11,4 15,13 2,2' -fill none -draw 'arc 8,8 18,16 0,180' -draw 'line 13,16 13,19' -draw 'line 10,19 16,19')
barglyph mute -draw "$speaker" -fill none -draw 'arc 11,9 17,15 -60,60' -draw 'arc 12,6 21,18 -60,60'
barglyph muted -draw "$speaker" -strokewidth 2 -draw 'line 16,8 21,16' -draw 'line 21,8 16,16'
barglyph talk "${microphone[@]}"
barglyph talkoff "${microphone[@]}" -strokewidth 2 -draw 'line 6,4 20,20'
rm -f bar_muted_d.bmp bar_talkoff_d.bmp
unusable() {
  convert -size 26x24 xc:"$face" +antialias -fill none -stroke "$grey" -draw 'rectangle 0,0 25,23' \
    -stroke "$line" -fill "$line" "${@:2}" -stroke '#C03030' -strokewidth 2 -draw 'line 6,5 20,19' \
    -draw 'line 20,5 6,19' -type Palette -strip "BMP3:$1"
}
unusable bar_speaker_x.bmp -draw "$speaker"
unusable bar_talk_x.bmp "${microphone[@]}"
barglyph video -fill none -draw 'rectangle 5,5 20,15' -draw 'line 13,15 13,18' -draw 'line 9,18 17,18'
barglyph board -fill none -draw 'rectangle 4,4 21,18' -fill "$teal" -draw 'polygon 8,15 16,7 18,9 10,17'
barglyph mshare -draw 'polygon 10,6 19,12 10,18'
barglyph ashare -draw 'ellipse 9,16 3,2 0,360' -draw 'line 12,16 12,6' -draw 'line 12,6 17,8'
barglyph question -fill none -draw 'circle 13,12 13,4' -fill "$teal" -stroke none -font DejaVu-Sans-Bold -pointsize 10 -gravity center -annotate +0+0 '?'
barglyph sharename -fill none -draw 'rectangle 5,6 20,17' -draw 'line 5,9 20,9'
barglyph web -fill none -draw 'circle 13,12 13,5' -draw 'line 6,12 20,12' -draw 'ellipse 13,12 3,7 0,360'
barglyph webdraw -fill none -draw 'circle 11,12 11,6' -draw 'line 5,12 17,12' -fill "$teal" -draw 'polygon 14,19 20,13 22,15 16,21'
barglyph docopen -fill none -draw 'polygon 4,7 10,7 12,9 21,9 21,18 4,18'
barglyph record -fill '#C03030' -stroke '#C03030' -draw 'circle 13,12 13,6'
barglyph presenter -draw 'circle 13,7 13,4' -draw 'polygon 7,19 9,11 17,11 19,19'
barglyph network -draw 'rectangle 6,15 8,18' -draw 'rectangle 11,11 13,18' -draw 'rectangle 16,7 18,18'
# The network state's three pictures: normal, bad, worst (its bars coloured).
for s in 0:"$teal" 1:'#F29E1F' 2:'#C03030'; do
  IFS=: read -r k colour <<<"$s"
  convert -size 18x16 xc:'#F4F7FA' +antialias -fill "$colour" -stroke none -draw 'rectangle 3,11 5,14' \
    -draw 'rectangle 8,7 10,14' -draw 'rectangle 13,3 15,14' -type Palette -strip "BMP3:bar_net_$k.bmp"
done
# The window buttons on the menu row.
for s in n:'#F4F7FA':"$navy" p:"$line":white h:'#C5D3E2':"$teal" d:'#F4F7FA':"$grey"; do
  IFS=: read -r k back fore <<<"$s"
  glyph "bar_min_$k.bmp" "$back" "$fore" -draw 'line 4,11 11,11'
  glyph "bar_max_$k.bmp" "$back" "$fore" -fill none -draw 'rectangle 3,3 12,12'
  glyph "bar_restore_$k.bmp" "$back" "$fore" -fill none -draw 'rectangle 3,6 9,12' -draw 'line 6,3 12,3' -draw 'line 12,3 12,9'
  glyph "bar_present_$k.bmp" "$back" "$fore" -fill none -draw 'rectangle 2,3 13,10' -draw 'line 7,10 7,13' -draw 'line 4,13 11,13'
done
# The view-mode and window buttons show their normal picture when disabled.
rm -f bar_video_d.bmp bar_board_d.bmp bar_mshare_d.bmp bar_ashare_d.bmp bar_restore_d.bmp bar_max_d.bmp bar_min_d.bmp
