#!/usr/bin/env bash
# Draws the weather pictures, synthesises the sound cues and writes the two list
# files that name them, so a fresh install looks complete without the update site.
#
#   tools/packs/make_packs.sh [output folder]     (default: assets/packs)
#
# Output: Images/*.jpg, Media/*.wav, images.dat, media.dat. The same inputs give the
# same bytes: pictures carry no metadata and sox runs in repeatable mode.
set -euo pipefail
export LC_ALL=C # awk must print decimal points, not commas

# ImageMagick itself: another `convert` earlier on PATH may be a wrapper.
CONVERT=/usr/bin/convert
SOX=sox

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
out=${1:-$root/assets/packs}

for tool in "$CONVERT" "$SOX"; do
    command -v "$tool" >/dev/null || { echo "make_packs: $tool is not installed" >&2; exit 1; }
done

# The condition pictures in the order of the condition table; the list file puts the
# fallback clear.jpg first, as the main window shows it before any weather arrives.
PICTURES=(bkn skc few sct ovc nfg smoke fzra ip mix raip rasn shra tsra sn wind
          hi_shwrs fzrara hi_tsra ra1 ra nsvrtsra dust mist)
CUES=(myfriend thunder compete goodbye)

SIZE=104   # twice the picture box of the main window, which scales it down
RATE=22050 # plenty for soft tones, half the size of CD rate

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# ---------------------------------------------------------------- drawing helpers
# Each helper prints MVG drawing commands; a picture is a background plus a list of them.

WHITE_CLOUD=("#ffffff" "#a3b6ca")
GREY_CLOUD=("#dde2e8" "#8e9aa8")
DARK_CLOUD=("#9aa5b2" "#5d6a78")
RAIN="#2f80d9"
ICE_FILL="#d8f4ff"
ICE_EDGE="#3d93c9"

# sun CX CY R [rays]: a yellow disc with rounded rays
sun() {
    awk -v cx="$1" -v cy="$2" -v r="$3" -v rays="${4:-8}" 'BEGIN {
        pi = atan2(0, -1)
        printf "stroke \"#f5a300\" stroke-width %.1f stroke-linecap round fill none\n", r / 5 + 1
        for (i = 0; i < rays; i++) {
            a = 2 * pi * i / rays + pi / rays
            printf "line %.1f,%.1f %.1f,%.1f\n", cx + cos(a) * (r + 4), cy + sin(a) * (r + 4),
                cx + cos(a) * (r * 1.55 + 5), cy + sin(a) * (r * 1.55 + 5)
        }
        printf "stroke \"#f2a000\" stroke-width 2 fill \"#ffd43b\"\n"
        printf "circle %.1f,%.1f %.1f,%.1f\n", cx, cy, cx + r, cy
    }'
}

# cloud CX CY W FILL EDGE: three puffs on a rounded base, W pixels wide; the outline is
# drawn as a wider shape underneath so the puffs merge into one silhouette
cloud() {
    local cx=$1 cy=$2 w=$3 fill=$4 edge=$5 pass
    for pass in edge fill; do
        if [[ $pass == edge ]]; then
            echo "stroke \"$edge\" stroke-width 4 fill \"$edge\""
        else
            echo "stroke none fill \"$fill\""
        fi
        awk -v cx="$cx" -v cy="$cy" -v w="$w" 'BEGIN {
            printf "roundrectangle %.1f,%.1f %.1f,%.1f %.1f,%.1f\n",
                cx - w * 0.5, cy - w * 0.02, cx + w * 0.5, cy + w * 0.26, w * 0.13, w * 0.13
            printf "circle %.1f,%.1f %.1f,%.1f\n", cx - w * 0.22, cy + w * 0.02, cx - w * 0.22 + w * 0.21, cy + w * 0.02
            printf "circle %.1f,%.1f %.1f,%.1f\n", cx + w * 0.04, cy - w * 0.07, cx + w * 0.04 + w * 0.27, cy - w * 0.07
            printf "circle %.1f,%.1f %.1f,%.1f\n", cx + w * 0.29, cy + w * 0.06, cx + w * 0.29 + w * 0.18, cy + w * 0.06
        }'
    done
}

# drop X Y [S] [FILL] [EDGE]: a rain drop, point up, S pixels high
drop() {
    awk -v x="$1" -v y="$2" -v s="${3:-13}" -v fill="${4:-$RAIN}" -v edge="${5:-none}" 'BEGIN {
        r = s * 0.32
        printf "stroke \"%s\" stroke-width 1.5 fill \"%s\"\n", edge, fill
        printf "path \"M %.1f,%.1f C %.1f,%.1f %.1f,%.1f %.1f,%.1f A %.1f,%.1f 0 1 1 %.1f,%.1f C %.1f,%.1f %.1f,%.1f %.1f,%.1f Z\"\n",
            x, y - s / 2,  x + r * 0.3, y - s * 0.2,  x + r, y,  x + r, y + s / 2 - r,
            r, r,  x - r, y + s / 2 - r,  x - r, y,  x - r * 0.3, y - s * 0.2,  x, y - s / 2
    }'
}

# streak X Y L: a slanted shower streak
streak() {
    awk -v x="$1" -v y="$2" -v l="${3:-12}" 'BEGIN {
        printf "stroke \"%s\" stroke-width 3 stroke-linecap round fill none\n", "'"$RAIN"'"
        printf "line %.1f,%.1f %.1f,%.1f\n", x, y, x - l * 0.35, y + l
    }'
}

# flake X Y R: a six-armed white snow flake with a blue rim
flake() {
    awk -v x="$1" -v y="$2" -v r="${3:-7}" 'BEGIN {
        pi = atan2(0, -1)
        split("#5b8fcf 4.5|#ffffff 2", pass, "|")
        for (p = 1; p <= 2; p++) {
            split(pass[p], v, " ")
            printf "stroke \"%s\" stroke-width %s stroke-linecap round fill none\n", v[1], v[2]
            for (i = 0; i < 3; i++) {
                a = pi / 2 + i * pi / 3
                printf "line %.1f,%.1f %.1f,%.1f\n", x - cos(a) * r, y - sin(a) * r, x + cos(a) * r, y + sin(a) * r
            }
        }
    }'
}

# pellet X Y [R]: a small ball of ice
pellet() {
    local r=${3:-5}
    echo "stroke \"$ICE_EDGE\" stroke-width 1.5 fill \"$ICE_FILL\""
    echo "circle $1,$2 $(($1 + r)),$2"
}

# icicles X0 Y N: N small icicles hanging from a cloud's base
icicles() {
    awk -v x0="$1" -v y="$2" -v n="$3" 'BEGIN {
        printf "stroke \"%s\" stroke-width 1.2 fill \"%s\"\n", "'"$ICE_EDGE"'", "'"$ICE_FILL"'"
        for (i = 0; i < n; i++) {
            x = x0 + i * 9; l = (i % 2 == 0) ? 11 : 7
            printf "polygon %.1f,%.1f %.1f,%.1f %.1f,%.1f\n", x - 3.5, y, x + 3.5, y, x, y + l
        }
    }'
}

# bolt X Y S: a lightning bolt, S pixels high, its top at X,Y
bolt() {
    awk -v x="$1" -v y="$2" -v s="$3" 'BEGIN {
        k = s / 40
        printf "stroke \"#e07b00\" stroke-width 1.5 stroke-linejoin round fill \"#ffd21f\"\n"
        printf "polygon %.1f,%.1f %.1f,%.1f %.1f,%.1f %.1f,%.1f %.1f,%.1f %.1f,%.1f %.1f,%.1f\n",
            x + 4 * k, y,  x + 15 * k, y,  x + 9 * k, y + 14 * k,  x + 17 * k, y + 14 * k,
            x - 1 * k, y + 40 * k,  x + 3 * k, y + 20 * k,  x - 5 * k, y + 20 * k
    }'
}

# band X0 X1 Y H COLOUR: one rounded horizontal band of fog or haze
band() {
    echo "stroke none fill \"$5\""
    echo "roundrectangle $1,$3 $2,$(($3 + $4)) $(($4 / 2)),$(($4 / 2))"
}

# curve X0 Y0 CX CY X1 Y1 WIDTH COLOUR: a thick open curve (a quadratic Bezier) as short
# round-capped lines: ImageMagick 6 strokes a thick open path as if it were closed
curve() {
    awk -v x0="$1" -v y0="$2" -v cx="$3" -v cy="$4" -v x1="$5" -v y1="$6" -v w="$7" -v c="$8" 'BEGIN {
        printf "stroke \"%s\" stroke-width %s stroke-linecap round fill none\n", c, w
        n = 12; px = x0; py = y0
        for (i = 1; i <= n; i++) {
            t = i / n; u = 1 - t
            x = u * u * x0 + 2 * u * t * cx + t * t * x1
            y = u * u * y0 + 2 * u * t * cy + t * t * y1
            printf "line %.1f,%.1f %.1f,%.1f\n", px, py, x, y
            px = x; py = y
        }
    }'
}

# gust X0 Y LEN CURL: a wind line that ends curling up and back over itself
gust() {
    awk -v x="$1" -v y="$2" -v len="$3" -v r="$4" 'BEGIN {
        pi = atan2(0, -1)
        printf "stroke \"#4f7fae\" stroke-width 4 stroke-linecap round fill none\n"
        px = x + len; py = y
        printf "line %.1f,%.1f %.1f,%.1f\n", x, y, px, py
        # three quarters of a turn around a centre above the line end, tightening a little
        cx = x + len; cy = y - r
        for (i = 1; i <= 14; i++) {
            a = pi / 2 - i * (1.5 * pi) / 14
            rr = r * (1 - 0.3 * i / 14)
            nx = cx + rr * cos(a); ny = cy + rr * sin(a)
            printf "line %.1f,%.1f %.1f,%.1f\n", px, py, nx, ny
            px = nx; py = ny
        }
    }'
}

# picture NAME TOP BOTTOM: background gradient from TOP to BOTTOM with the MVG on stdin
picture() {
    local name=$1 top=$2 bottom=$3
    "$CONVERT" -size "${SIZE}x${SIZE}" "gradient:${top}-${bottom}" \
        -draw "$(cat)" \
        -strip -interlace none -sampling-factor 1x1 -quality 90 \
        "$out/Images/$name.jpg"
}

SKY=("#a9d5f7" "#eaf5fe")
PALE_SKY=("#c4dff2" "#f1f7fb")
GREY_SKY=("#c7d1dc" "#eef2f5")
FOG_SKY=("#d9e1e8" "#f4f7f9")

# ---------------------------------------------------------------- the pictures

draw_pictures() {
    mkdir -p "$out/Images"

    # Clear: a big sun alone.
    sun 52 52 20 10 | picture skc "${SKY[@]}"

    # No data yet: an empty deep-blue sky with a small sun in the corner.
    sun 82 22 8 8 | picture clear "#6fb4ec" "#cfe8fb"

    # A few clouds: sun with a small cloud in front of its lower right.
    { sun 44 42 18; cloud 70 74 42 "${WHITE_CLOUD[@]}"; } | picture few "${SKY[@]}"

    # Partly cloudy: sun half behind a cloud.
    { sun 38 38 18; cloud 58 62 66 "${WHITE_CLOUD[@]}"; } | picture sct "${SKY[@]}"

    # Mostly cloudy: a big cloud with the sun peeking out.
    { sun 30 30 13 8; cloud 54 56 80 "${WHITE_CLOUD[@]}"; cloud 30 80 42 "${GREY_CLOUD[@]}"; } |
        picture bkn "${PALE_SKY[@]}"

    # Overcast: grey clouds filling the sky.
    { cloud 36 36 56 "${GREY_CLOUD[@]}"; cloud 60 66 80 "${GREY_CLOUD[@]}"; } | picture ovc "${GREY_SKY[@]}"

    # Fog: stacked grey bands.
    { band 14 78 22 10 "#b9c3cc"; band 26 92 40 10 "#a9b4be"; band 10 70 58 10 "#b9c3cc"
      band 30 94 76 10 "#a9b4be"; } | picture nfg "${FOG_SKY[@]}"

    # Haze: a pale sun behind thin bands.
    { sun 52 40 18; band 8 96 50 7 "#ded6c2"; band 16 88 63 7 "#d2c9b2"; band 8 96 76 7 "#ded6c2"; } |
        picture mist "#e3e9ee" "#f6f4ee"

    # Smoke: a plume rising from a chimney-like stack, drifting right.
    {
        echo 'stroke none fill "#7f6f63"'
        echo "rectangle 18,76 32,104"
        # puffs grow and pale as the plume rises and drifts
        local puff x y r colour
        for puff in "27,66,8,#8a7f75" "36,56,10,#958b82" "48,48,11,#a0978f" "62,42,12,#aaa29b" \
                    "77,38,12,#b5aea8" "90,36,11,#c0bab5"; do
            IFS=, read -r x y r colour <<<"$puff"
            echo "fill \"$colour\""
            echo "circle $x,$y $((x + r)),$y"
        done
    } | picture smoke "#ddd3c7" "#f4efe8"

    # Freezing rain: icy drops and icicles.
    { cloud 52 36 74 "${GREY_CLOUD[@]}"; icicles 25 58 7
      drop 32 84 14 "$ICE_FILL" "$ICE_EDGE"; drop 52 88 14 "$ICE_FILL" "$ICE_EDGE"; drop 72 84 14 "$ICE_FILL" "$ICE_EDGE"; } |
        picture fzra "${GREY_SKY[@]}"

    # Ice pellets and hail: balls of ice falling.
    { cloud 52 38 74 "${GREY_CLOUD[@]}"
      pellet 26 72 6; pellet 48 76 6; pellet 70 72 6; pellet 86 86 5; pellet 36 92 6; pellet 62 94 6; } |
        picture ip "${GREY_SKY[@]}"

    # Freezing rain and snow: icicles, an icy drop and flakes.
    { cloud 52 36 74 "${GREY_CLOUD[@]}"; icicles 25 58 7
      flake 30 86 8; drop 52 86 14 "$ICE_FILL" "$ICE_EDGE"; flake 74 86 8; } | picture mix "${GREY_SKY[@]}"

    # Rain and ice pellets.
    { cloud 52 38 74 "${GREY_CLOUD[@]}"
      drop 28 76; pellet 46 74 5; drop 66 76; pellet 84 76 5; pellet 36 92 5; drop 58 93; } |
        picture raip "${GREY_SKY[@]}"

    # Rain and snow.
    { cloud 52 38 74 "${GREY_CLOUD[@]}"
      drop 28 76; flake 48 76 7; drop 68 76; flake 84 90 7; flake 34 92 7; drop 58 93; } |
        picture rasn "${GREY_SKY[@]}"

    # Freezing rain with rain: blue drops mixed with icy ones under icicles.
    { cloud 52 36 74 "${GREY_CLOUD[@]}"; icicles 25 58 7
      drop 30 84 14; drop 50 88 14 "$ICE_FILL" "$ICE_EDGE"; drop 70 84 14; drop 86 92 12 "$ICE_FILL" "$ICE_EDGE"; } |
        picture fzrara "${GREY_SKY[@]}"

    # Rain showers: sun behind a cloud with slanted streaks.
    { sun 30 28 14 8; cloud 56 46 74 "${WHITE_CLOUD[@]}"
      streak 40 72 14; streak 56 72 14; streak 72 72 14; streak 48 88 10; streak 64 88 10; } |
        picture shra "${SKY[@]}"

    # Showers in the distance: sun, and a small shower cloud away on the right.
    { sun 34 36 18; cloud 76 66 38 "${GREY_CLOUD[@]}"; streak 70 82 10; streak 80 82 10; streak 90 82 10; } |
        picture hi_shwrs "${SKY[@]}"

    # Thunderstorm: dark cloud, a bolt and rain.
    { cloud 52 34 80 "${DARK_CLOUD[@]}"; bolt 46 52 44; drop 24 76; drop 80 76; drop 34 94 12; drop 74 94 12; } |
        picture tsra "${GREY_SKY[@]}"

    # Thunderstorm in the distance: sun, and a small dark cloud with a bolt on the right.
    { sun 32 34 18; cloud 76 62 40 "${DARK_CLOUD[@]}"; bolt 72 72 26; } | picture hi_tsra "${SKY[@]}"

    # Snow: flakes under a cloud.
    { cloud 52 36 74 "${WHITE_CLOUD[@]}"
      flake 28 72 8; flake 52 78 8; flake 76 72 8; flake 38 94 7; flake 66 94 7; } | picture sn "${PALE_SKY[@]}"

    # Windy: three gusts with curls.
    { gust 10 36 60 8; gust 20 58 70 10; gust 8 80 50 7; } | picture wind "${SKY[@]}"

    # Light rain: a white cloud and a few small drops.
    { cloud 52 40 74 "${WHITE_CLOUD[@]}"; drop 34 80 11; drop 66 80 11; drop 50 94 10; } |
        picture ra1 "${PALE_SKY[@]}"

    # Rain: a grey cloud and many drops.
    { cloud 52 36 78 "${GREY_CLOUD[@]}"
      drop 22 72; drop 42 74; drop 62 72; drop 82 74; drop 32 92; drop 52 94; drop 72 92; } |
        picture ra "${GREY_SKY[@]}"

    # Funnel cloud: a dark cloud with a twisting funnel down to the ground.
    {
        echo 'stroke none fill "#b7c49a"'
        echo "rectangle 0,94 104,104"
        cloud 52 24 86 "${DARK_CLOUD[@]}"
        echo 'stroke "#56606b" stroke-width 1.5 fill "#77828e"'
        echo 'path "M 30,44 C 40,60 50,64 50,72 C 50,80 56,86 58,96 L 62,96 C 62,86 60,78 64,70 C 68,62 72,56 80,44 Z"'
        curve 40 54 55 59 70 54 1.5 "#56606b"
        curve 47 65 57 69 66 65 1.5 "#56606b"
        curve 53 78 58 80 63 78 1.5 "#56606b"
    } | picture nsvrtsra "${GREY_SKY[@]}"

    # Dust and sand: a hazy sun over dunes with blowing grains.
    {
        sun 72 28 12 8
        curve 10 46 34 38 56 48 3 "#b98b4e"
        curve 18 60 44 52 72 62 3 "#b98b4e"
        echo 'stroke none fill "#d9b37a"'
        echo 'path "M 0,84 Q 30,66 60,80 Q 84,90 104,78 L 104,104 L 0,104 Z"'
        echo 'fill "#c79a5b"'
        echo 'path "M 0,96 Q 40,82 72,94 Q 90,100 104,94 L 104,104 L 0,104 Z"'
        echo 'fill "#a57840"'
        local xy x y
        for xy in 20,66 34,70 48,64 66,70 80,62 90,68 28,54 60,56; do
            x=${xy%,*} y=${xy#*,}
            echo "circle $x,$y $((x + 2)),$y"
        done
    } | picture dust "#f1dfbd" "#faf3e6"
}

# ---------------------------------------------------------------- the sounds
# Each note is a sine with a quieter octave above it, dying away like a struck bell;
# notes are offset in time, mixed, cut to length, levelled to a -6 dBFS peak and faded
# at both ends so nothing clicks.

SOXR=("$SOX" -R -q) # repeatable: fixed seed for dither and noise

# note FILE FREQ RING DELAY: one bell-like note starting DELAY seconds in; its level
# falls steadily in dB (sox's logarithmic fade) and is gone after RING seconds
note() {
    local file=$1 freq=$2 ring=$3 delay=$4
    local octave
    octave=$(awk -v f="$freq" 'BEGIN { printf "%.2f", f * 2 }')
    "${SOXR[@]}" -n -r "$RATE" -c 1 -b 16 "$work/fund.wav" synth "$ring" sine "$freq" fade l 0.01 "$ring" "$ring"
    "${SOXR[@]}" -n -r "$RATE" -c 1 -b 16 "$work/over.wav" synth "$ring" sine "$octave" fade l 0.01 "$ring" "$ring" vol 0.25
    "${SOXR[@]}" -m "$work/fund.wav" "$work/over.wav" -b 16 "$file" pad "$delay"
}

# cue NAME LENGTH FREQ:RING:DELAY...: mixes the notes into Media/NAME.wav
cue() {
    local name=$1 len=$2 parts=() i=0 tone freq ring delay
    shift 2
    for tone in "$@"; do
        IFS=: read -r freq ring delay <<<"$tone"
        note "$work/$name-$i.wav" "$freq" "$ring" "$delay"
        parts+=("$work/$name-$i.wav")
        i=$((i + 1))
    done
    if ((${#parts[@]} == 1)); then
        cp "${parts[0]}" "$work/$name-mix.wav"
    else
        "${SOXR[@]}" -m "${parts[@]}" -b 16 "$work/$name-mix.wav"
    fi
    finish "$work/$name-mix.wav" "$name" "$len"
}

# finish IN NAME LENGTH: a touch of room, the fixed length, level and end fades
finish() {
    local room fade_out
    # silence at the end gives the reverb tail room, but only as much as the length
    # needs: sox warns about padding that a later trim cuts off
    room=$(awk -v have="$(soxi -D "$1")" -v want="$3" 'BEGIN { printf "%.3f", (want > have) ? want - have : 0 }')
    # notes still ringing at the cut fade out over the last sixth or so
    fade_out=$(awk -v len="$3" 'BEGIN { printf "%.3f", len * 0.15 }')
    "${SOXR[@]}" "$1" -b 16 "$work/$2-room.wav" gain -n -12 pad 0 "$room" reverb 25 50 60
    "${SOXR[@]}" "$work/$2-room.wav" -r "$RATE" -c 1 -b 16 -e signed-integer "$out/Media/$2.wav" \
        trim 0 "$3" fade q 0.005 "$3" "$fade_out" gain -n -6
}

make_sounds() {
    mkdir -p "$out/Media"

    # Welcome: a rising major arpeggio, C5 E5 G5 C6.
    cue myfriend 1.1 523.25:2.2:0 659.25:2.2:0.1 783.99:2.2:0.2 1046.50:2.2:0.3

    # After a weather update: a soft distant rumble under a low, calm fifth.
    "${SOXR[@]}" -n -r "$RATE" -c 1 -b 16 "$work/rumble.wav" \
        synth 1.4 brownnoise lowpass 160 lowpass 160 tremolo 5 35 fade h 0.15 1.4 1.0
    note "$work/low1.wav" 196.00 2.5 0.05
    note "$work/low2.wav" 293.66 2.5 0.15
    "${SOXR[@]}" -m -v 1.2 "$work/rumble.wav" -v 0.35 "$work/low1.wav" -v 0.25 "$work/low2.wav" -b 16 "$work/thunder-mix.wav"
    finish "$work/thunder-mix.wav" thunder 1.4

    # Done: two notes up a fourth, G5 then C6.
    cue compete 0.7 783.99:1.4:0 1046.50:1.4:0.14

    # Farewell: a slow falling line, G5 E5 D5 C5, the last note left to ring.
    cue goodbye 2.6 783.99:2.0:0 659.25:2.0:0.45 587.33:2.0:0.9 523.25:3.0:1.35
}

# ---------------------------------------------------------------- the lists

# write_list FILE NAME...: one name a line, CR LF line ends
write_list() {
    local file=$1
    shift
    printf '%s\r\n' "$@" >"$file"
}

draw_pictures
make_sounds

images=(clear.jpg)
for p in "${PICTURES[@]}"; do images+=("$p.jpg"); done
sounds=()
for c in "${CUES[@]}"; do sounds+=("$c.wav"); done
write_list "$out/images.dat" "${images[@]}"
write_list "$out/media.dat" "${sounds[@]}"

echo "make_packs: wrote ${#images[@]} pictures and ${#sounds[@]} sounds to $out"
