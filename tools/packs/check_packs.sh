#!/usr/bin/env bash
# Checks a picture and sound pack folder as the program and the update site use it:
# both lists name every expected file, one a line with CR LF ends, and every listed
# file is there, a whole JPEG of the drawn size or a playable, audible 16-bit WAV.
#
#   tools/packs/check_packs.sh [pack folder]     (default: assets/packs)
#
# Prints one line per check and a last line "N passed, N failed"; exits 1 on a failure.
set -uo pipefail
export LC_ALL=C

IDENTIFY=/usr/bin/identify # ImageMagick itself, whatever else is on PATH

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
dir=${1:-$root/assets/packs}

PICTURES=(clear bkn skc few sct ovc nfg smoke fzra ip mix raip rasn shra tsra sn wind
          hi_shwrs fzrara hi_tsra ra1 ra nsvrtsra dust mist)
PICTURE_SIZE="104 104"
MAX_PICTURE_BYTES=16384
# cue name -> shortest and longest length in seconds
declare -A CUE_LENGTH=([myfriend.wav]="0.6 1.5" [thunder.wav]="0.8 2.0"
                       [compete.wav]="0.4 1.0" [goodbye.wav]="1.8 3.2")
OTHER_CUE_LENGTH="0.2 5.0"
MIN_RMS=0.01   # about -40 dBFS: anything quieter is as good as silent
MAX_PEAK=0.98  # above this the cue has clipped
MAX_EDGE=0.05  # loudest sample allowed in the first and last 2 ms, where a cue fades

passed=0
failed=0
pass() { passed=$((passed + 1)); echo "ok    $1"; }
fail() { failed=$((failed + 1)); echo "FAIL  $1: $2"; }

# The program treats names without regard to case, so the checker does too.
find_ci() {
    local entry base
    for entry in "$1"/*; do
        base=${entry##*/}
        if [[ ${base,,} == "${2,,}" ]]; then
            printf '%s\n' "$entry"
            return 0
        fi
    done
    return 1
}

# check_list FILE EXPECTED...: line format, then that each expected name is listed once.
# Sets LISTED to the names read.
check_list() {
    local label=$1 file
    shift
    LISTED=()
    if ! file=$(find_ci "$dir" "$label"); then
        fail "$label" "missing"
        return
    fi
    local problems=() line n=0
    if [[ ! -s $file ]]; then
        problems+=("empty")
    elif [[ $(tail -c 2 "$file" | od -An -tx1 | tr -d ' \n') != 0d0a ]]; then
        problems+=("last line has no CR LF end")
    fi
    if grep -q '[^[:print:]'$'\r'']' "$file"; then
        problems+=("holds characters other than printable ASCII")
    fi
    while IFS= read -r line || [[ -n $line ]]; do
        n=$((n + 1))
        if [[ $line != *$'\r' ]]; then
            problems+=("line $n does not end in CR LF")
        fi
        line=${line%$'\r'}
        if [[ -z $line ]]; then
            problems+=("line $n is empty")
        elif [[ $line == [[:space:]]* || $line == *[[:space:]] ]]; then
            problems+=("line $n has spaces around the name")
        fi
        LISTED+=("$line")
    done <"$file"
    if ((${#problems[@]})); then
        fail "$label format" "$(printf '%s; ' "${problems[@]}" | sed 's/; $//')"
    else
        pass "$label format ($n lines, CR LF)"
    fi

    local want count missing=() doubled=()
    for want in "$@"; do
        count=0
        for line in "${LISTED[@]}"; do
            [[ ${line,,} == "${want,,}" ]] && count=$((count + 1))
        done
        ((count == 0)) && missing+=("$want")
        ((count > 1)) && doubled+=("$want")
    done
    if ((${#missing[@]} || ${#doubled[@]})); then
        fail "$label names" "not listed: ${missing[*]:-none}; listed twice: ${doubled[*]:-none}"
    else
        pass "$label names (all $# expected files listed)"
    fi
}

check_picture() {
    local name=$1 file info bytes
    if ! file=$(find_ci "$pictures" "$name"); then
        fail "Images/$name" "missing"
        return
    fi
    # warnings (a cut-off file) count as errors
    if ! info=$("$IDENTIFY" -regard-warnings -format '%m %w %h\n' "$file" 2>&1 | head -n 1) ||
       [[ $info != JPEG* ]]; then
        fail "Images/$name" "not a valid JPEG ($info)"
        return
    fi
    if [[ ${info#JPEG } != "$PICTURE_SIZE" ]]; then
        fail "Images/$name" "size ${info#JPEG } instead of $PICTURE_SIZE"
        return
    fi
    bytes=$(stat -c %s "$file")
    if ((bytes > MAX_PICTURE_BYTES)); then
        fail "Images/$name" "$bytes bytes, more than $MAX_PICTURE_BYTES"
        return
    fi
    pass "Images/$name (JPEG ${info#JPEG } px, $bytes bytes)"
}

# amplitude FILE [trim args...]: peak and RMS amplitude as "peak rms"
amplitude() {
    local file=$1
    shift
    sox "$file" -n "$@" stat 2>&1 | awk '
        /^Maximum amplitude/ { max = $3 } /^Minimum amplitude/ { min = -$3 }
        /^RMS +amplitude/ { rms = $3 }
        END { printf "%s %s\n", (max > min ? max : min), rms }'
}

check_cue() {
    local name=$1 file
    if ! file=$(find_ci "$sounds" "$name"); then
        fail "Media/$name" "missing"
        return
    fi
    local type encoding bits channels rate length
    if ! type=$(soxi -t "$file" 2>&1) || [[ $type != wav ]] ||
       [[ $(head -c 4 "$file") != RIFF || $(tail -c +9 "$file" | head -c 4) != WAVE ]]; then
        fail "Media/$name" "no valid WAV header (${type//$'\n'/ })"
        return
    fi
    encoding=$(soxi -e "$file") bits=$(soxi -b "$file") channels=$(soxi -c "$file")
    rate=$(soxi -r "$file") length=$(soxi -D "$file")
    if [[ $encoding != "Signed Integer PCM" || $bits != 16 || $channels != 1 ||
          ($rate != 22050 && $rate != 44100) ]]; then
        fail "Media/$name" "$encoding, $bits bit, $channels channels, $rate Hz instead of 16-bit PCM mono at 22050 or 44100 Hz"
        return
    fi
    local bounds=${CUE_LENGTH[${name,,}]:-$OTHER_CUE_LENGTH}
    if ! awk -v l="$length" -v lo="${bounds% *}" -v hi="${bounds#* }" 'BEGIN { exit !(l >= lo && l <= hi) }'; then
        fail "Media/$name" "lasts ${length} s, outside ${bounds% *}..${bounds#* } s"
        return
    fi
    local whole start end
    whole=$(amplitude "$file") start=$(amplitude "$file" trim 0 0.002) end=$(amplitude "$file" trim -0.002)
    if ! awk -v rms="${whole#* }" -v min="$MIN_RMS" 'BEGIN { exit !(rms > min) }'; then
        fail "Media/$name" "silent: RMS amplitude ${whole#* } is not above $MIN_RMS"
        return
    fi
    if ! awk -v peak="${whole% *}" -v max="$MAX_PEAK" 'BEGIN { exit !(peak <= max) }'; then
        fail "Media/$name" "clipped: peak amplitude ${whole% *}"
        return
    fi
    if ! awk -v a="${start% *}" -v b="${end% *}" -v max="$MAX_EDGE" 'BEGIN { exit !(a <= max && b <= max) }'; then
        fail "Media/$name" "would click: first/last 2 ms reach ${start% *}/${end% *}"
        return
    fi
    pass "Media/$name (${length} s, $rate Hz, RMS ${whole#* }, peak ${whole% *})"
}

if [[ ! -d $dir ]]; then
    echo "check_packs: no pack folder $dir" >&2
    echo "0 passed, 1 failed"
    exit 1
fi

pictures=$(find_ci "$dir" Images) || pictures=$dir/Images
sounds=$(find_ci "$dir" Media) || sounds=$dir/Media

picture_files=()
for p in "${PICTURES[@]}"; do picture_files+=("$p.jpg"); done
check_list images.dat "${picture_files[@]}"
for name in "${LISTED[@]}"; do
    [[ -n $name ]] && check_picture "$name"
done

check_list media.dat "${!CUE_LENGTH[@]}"
for name in "${LISTED[@]}"; do
    [[ -n $name ]] && check_cue "$name"
done

echo "$passed passed, $failed failed"
((failed == 0))
