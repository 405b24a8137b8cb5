#!/usr/bin/env bash
# The layout menu's pictures, 70 x 65, normal and hot, one pair per room type of layout.txt: as
# many tiles as the type has videos, in rows. Run by make-skin.sh; needs ImageMagick's convert.
set -euo pipefail
cd "$(dirname "$0")"
navy='#1F3A5F' teal='#2A9D8F' face='#E9EEF3' line='#9AA8B5'
awk -F= '/^\[/ { gsub(/[][]/, ""); t = $0 } /^VideoCount/ { n[t] = $2 }
         END { for (t in n) { c = 1; while (c * c < n[t]) c++; r = c; while (r > 1 && c * (r - 1) >= n[t]) r--;
                              print t, n[t], c, r } }' ../layout.txt | sort -n |
while read -r type count cols rows; do
  # The types the layout menu offers; a room without videos shows the board alone.
  case " 1 2 4 6 7 8 10 11 13 14 15 16 17 18 19 20 21 22 23 28 29 30 31 32 33 34 50 " in
  *" $type "*) ;;
  *) continue ;;
  esac
  [ "$count" -gt 0 ] || { count=1 cols=1 rows=1; }
  draw=()
  cw=$(( 60 / cols )) ch=$(( 47 / rows ))
  for ((r = 0; r < rows; r++)); do
    for ((c = 0; c < cols && r * cols + c < count; c++)); do
      x=$(( 5 + c * cw )) y=$(( 5 + r * ch ))
      draw+=(-draw "rectangle $x,$y $(( x + cw - 2 )),$(( y + ch - 2 ))")
    done
  done
  for kind in normal hot; do
    bg=$face fill=$navy
    [ $kind = hot ] && bg='#DDF2EF' fill=$teal
    out=layout_$type.bmp
    [ $kind = hot ] && out=layout_${type}_hot.bmp
    convert -size 70x65 xc:"$bg" -fill "$fill" -stroke "$bg" "${draw[@]}" \
      -fill none -stroke "$line" -draw 'rectangle 0,0 69,64' \
      -fill "$fill" -stroke none -font DejaVu-Sans -pointsize 9 -gravity south -annotate +0+2 "$type" \
      -strip "BMP3:$out"
  done
done
