#!/usr/bin/env bash
# Renders the talk-off corpus: about 12.7 hours of speech and music in which
# nobody pressed a key, as 8 kHz 16-bit mono WAV, one folder per kind. Every
# source is a Debian package, so any machine renders the same files.
# Deterministic; files already there are kept, so a second run is quick.
# Usage: make_corpus.sh [DIR]   (default $TALK_OFF_CORPUS, else build/talk_off/corpus)
set -euo pipefail
export LC_ALL=C  # the same order and number format everywhere

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out=${1:-${TALK_OFF_CORPUS:-$root/build/talk_off/corpus}}
mkdir -p "$out"
out=$(cd "$out" && pwd)

# festival recommends an English voice this corpus leaves out on purpose:
# no recommends.
packages=(
  python3 sox libsox-fmt-all ffmpeg espeak-ng flite festival festvox-itapc16k festvox-ru
  asterisk-core-sounds-en-wav asterisk-core-sounds-fr-wav asterisk-moh-opsound-wav
  supertux-data frozen-bubble-data hedgewars-data widelands-data pingus-data
  neverball-data lincity-ng-data xmoto-data
)
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "make_corpus: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  if ! $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null; then
    # One at a time, so one missing package costs only its own files.
    for p in "${missing[@]}"; do
      $SUDO apt-get install -y -qq --no-install-recommends "$p" >/dev/null ||
        echo "make_corpus: could not install $p; its files are left out" >&2
    done
  fi
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/talk_off.XXXXXX")
trap 'rm -rf "$work"' EXIT
export out work here

# Brings SRC to 8 kHz mono 16-bit at OUT through the extra sox effects given,
# then CHAIN, "level-band-codec": the level (tel: -20 dBFS RMS, the middle of
# a phone line's speech; quiet: -32; loud: peaks at -0.5 dBFS), the band
# (phone: 300-3400 Hz, or full) and a codec round trip (none, ulaw, alaw,
# gsm, amr at 12.2 kbit/s, g726 at 32 kbit/s), as a call would carry it.
finish() {
  local src=$1 dst=$2 chain=$3
  shift 3
  local level band codec t
  IFS=- read -r level band codec <<<"$chain"
  t=$(mktemp -d "$work/finish.XXXXXX")
  local band_fx=()
  [ "$band" = phone ] && band_fx=(sinc 300-3400)
  sox -R -V1 "$src" -e floating-point -b 32 "$t/a.wav" remix - "$@" rate -v 8000 "${band_fx[@]}"
  local gain
  gain=$(sox "$t/a.wav" -n stats 2>&1 | awk -v l="$level" '
    /^Pk lev dB/ { p = $4 } /^RMS lev dB/ { r = $4 }
    END {
      if (p !~ /^-?[0-9.]+$/ || r !~ /^-?[0-9.]+$/) { print 0; exit }
      if (l == "loud") g = -0.5 - p
      else { g = (l == "quiet" ? -32 : -20) - r; if (g > -1 - p) g = -1 - p }
      printf "%.2f\n", g
    }')
  sox -R -V1 "$t/a.wav" -e signed -b 16 "$t/b.wav" gain "$gain"
  case $codec in
    none) mv "$t/b.wav" "$t/c.wav" ;;
    ulaw | alaw)
      sox -R -V1 "$t/b.wav" -e "${codec:0:1}-law" -t wav "$t/x.wav"
      sox -R -V1 "$t/x.wav" -e signed -b 16 "$t/c.wav" ;;
    gsm)
      sox -R -V1 "$t/b.wav" -t gsm "$t/x.gsm"
      sox -R -V1 -t gsm -r 8000 -c 1 "$t/x.gsm" -e signed -b 16 "$t/c.wav" ;;
    amr)
      sox -R -V1 "$t/b.wav" -t amr-nb -C 7 "$t/x.amr"
      sox -R -V1 "$t/x.amr" -e signed -b 16 "$t/c.wav" ;;
    g726)
      ffmpeg -nostdin -v error -i "$t/b.wav" -c:a g726 -b:a 32k "$t/x.wav"
      ffmpeg -nostdin -v error -i "$t/x.wav" -c:a pcm_s16le "$t/c.wav" ;;
    *) echo "finish: unknown codec $codec" >&2; return 1 ;;
  esac
  # A synthesiser that choked writes an empty file: fail rather than keep it.
  [ "$(soxi -s "$t/c.wav")" -gt 8000 ] || { echo "finish: no sound for $dst" >&2; return 1; }
  mkdir -p "$(dirname "$dst")"
  mv "$t/c.wav" "$dst.part"
  mv "$dst.part" "$dst"
  rm -rf "$t"
}

# Parts of about CHARS characters of LANG's sentences, enough for the
# seconds kept; the synthesisers stop at the end of the text.
speak_espeak() {
  local dst=$1 voice=$2 speed=$3 pitch=$4 lang=$5 index=$6 chars=$7 seconds=$8 chain=$9
  local t
  t=$(mktemp -d "$work/espeak.XXXXXX")
  python3 "$here/texts.py" "$lang" "$index" "$chars" >"$t/text"
  espeak-ng -v "$voice" -s "$speed" -p "$pitch" -f "$t/text" -w "$t/a.wav"
  finish "$t/a.wav" "$dst" "$chain" trim 0 "$seconds"
  rm -rf "$t"
}

speak_flite() {
  local dst=$1 voice=$2 stretch=$3 f0=$4 index=$5 chars=$6 seconds=$7 chain=$8
  local t
  t=$(mktemp -d "$work/flite.XXXXXX")
  python3 "$here/texts.py" en "$index" "$chars" >"$t/text"
  flite -voice "$voice" --setf duration_stretch="$stretch" --setf int_f0_target_mean="$f0" \
    -f "$t/text" -o "$t/a.wav"
  finish "$t/a.wav" "$dst" "$chain" trim 0 "$seconds"
  rm -rf "$t"
}

# Festival's Italian voice reads Latin-1, its Russian one UTF-8; both list
# every word they cannot say, hence no output. The pitch
# is moved afterwards, as the diphone voice has no simple knob for it.
speak_festival() {
  local dst=$1 voice=$2 lang=$3 stretch=$4 cents=$5 index=$6 chars=$7 seconds=$8 chain=$9
  local t
  t=$(mktemp -d "$work/festival.XXXXXX")
  if [ "$lang" = it ]; then
    python3 "$here/texts.py" --plain "$lang" "$index" "$chars" | iconv -f UTF-8 -t ISO-8859-1//TRANSLIT >"$t/text"
  else
    python3 "$here/texts.py" --plain "$lang" "$index" "$chars" >"$t/text"
  fi
  text2wave -eval "(voice_$voice)" -eval "(Parameter.set 'Duration_Stretch $stretch)" \
    "$t/text" -o "$t/a.wav" >/dev/null 2>&1
  finish "$t/a.wav" "$dst" "$chain" trim 0 "$seconds" pitch "$cents"
  rm -rf "$t"
}

# Prompts one after another with a short pause, as a menu plays them.
concat_prompts() {
  local dst=$1 chain=$2
  shift 2
  local t args=()
  t=$(mktemp -d "$work/prompts.XXXXXX")
  sox -R -D -n -r 8000 -c 1 -b 16 "$t/pause.wav" trim 0 0.4  # true silence, undithered
  for f in "$@"; do args+=("$f" "$t/pause.wav"); done
  sox -R -V1 "${args[@]}" "$t/a.wav"
  finish "$t/a.wav" "$dst" "$chain"
  rm -rf "$t"
}

# SECONDS of a track from START (from the top if it is shorter than that).
excerpt() {
  local dst=$1 src=$2 start=$3 seconds=$4 chain=$5
  local t
  t=$(mktemp -d "$work/music.XXXXXX")
  ffmpeg -nostdin -v error -ss "$start" -t "$seconds" -i "$src" -ac 1 -c:a pcm_s16le "$t/a.wav"
  if [ "$(soxi -s "$t/a.wav")" -lt $((5 * 8000)) ]; then
    ffmpeg -nostdin -v error -y -t "$seconds" -i "$src" -ac 1 -c:a pcm_s16le "$t/a.wav"
  fi
  finish "$t/a.wav" "$dst" "$chain"
  rm -rf "$t"
}

# Speech with music UNDER dB (RMS) below it, for the length of the speech
# (the music looped if shorter).
mix() {
  local dst=$1 speech=$2 music=$3 under=$4 seconds=$5 chain=$6
  local t
  t=$(mktemp -d "$work/mix.XXXXXX")
  sox -R -V1 "$speech" -e floating-point -b 32 "$t/s.wav" trim 0 "$seconds"
  ffmpeg -nostdin -v error -stream_loop -1 -ss 20 -t "$(soxi -D "$t/s.wav")" -i "$music" -ac 1 -ar 8000 -c:a pcm_f32le "$t/m.wav"
  local rms_s rms_m
  rms_s=$(sox "$t/s.wav" -n stats 2>&1 | awk '/^RMS lev dB/ { print $4 }')
  rms_m=$(sox "$t/m.wav" -n stats 2>&1 | awk '/^RMS lev dB/ { print $4 }')
  sox -R -V1 -m "$t/s.wav" -v "$(awk -v s="$rms_s" -v m="$rms_m" -v u="$under" 'BEGIN { printf "%.4f", 10 ^ ((s - m - u) / 20) }')" \
    "$t/m.wav" "$t/a.wav"
  finish "$t/a.wav" "$dst" "$chain"
  rm -rf "$t"
}
# A music-on-hold track with sox effects, if any, and CHAIN.
moh_variant() {
  local dst=$1 src=$2 chain=$3
  shift 3
  finish "$src" "$dst" "$chain" "$@"
}
export -f finish moh_variant speak_espeak speak_flite speak_festival concat_prompts excerpt mix

jobs_file=$work/jobs
# job OUTFILE FUNCTION ARGS...: queued unless OUTFILE is already there.
job() {
  local dst=$out/$1
  shift
  [ -e "$dst" ] && return 0
  local fn=$1
  shift
  {
    printf '%s %q' "$fn" "$dst"
    printf ' %q' "$@"
    printf '\n'
  } >>"$jobs_file"
}

run_jobs() {
  [ -s "$jobs_file" ] || return 0
  echo "make_corpus: rendering $(wc -l <"$jobs_file") files"
  # At most two at once: the machine is shared.
  # shellcheck disable=SC2016 # $1 is the job, expanded by the inner shell
  tr '\n' '\0' <"$jobs_file" | nice -n 10 xargs -0 -P 2 -n 1 bash -c 'set -euo pipefail; eval "$1"' _
  : >"$jobs_file"
}
: >"$jobs_file"

chains_speech=(tel-full-none loud-full-none tel-phone-none tel-full-ulaw quiet-phone-none
  tel-phone-gsm loud-phone-amr tel-full-alaw tel-full-g726)

# espeak-ng: 23 voices, three prosodies each, 150 s a file.
espeak_voices=(en-us en-gb en-gb-scotland en-029 de fr-fr es it pt pt-br nl pl ru sv cs hu tr 'fi' el
  ja cmn ko vi)
variants=("" f1 f3 f5 m1 m3 m7 croak whisper klatt klatt3)
speeds=(120 150 175 210 260 140 190)
pitches=(20 35 50 70 90 45)
k=0
for voice in "${espeak_voices[@]}"; do
  case $voice in
    en-*) lang=en ;;
    fr-fr) lang=fr ;;
    pt-br) lang=pt_BR ;;
    cmn) lang=zh_CN ;;
    *) lang=$voice ;;
  esac
  for j in 0 1 2; do
    variant=${variants[k % ${#variants[@]}]}
    speed=${speeds[k % ${#speeds[@]}]}
    pitch=${pitches[k % ${#pitches[@]}]}
    chain=${chains_speech[k % ${#chains_speech[@]}]}
    per_second=17
    case $lang in ja | zh_CN | ko) per_second=6 ;; esac
    job "speech-espeak/${voice}_${variant:-base}_s${speed}_p${pitch}_$j.$chain.wav" speak_espeak \
      "$voice${variant:++$variant}" "$speed" "$pitch" "$lang" "$k" $((speed * per_second)) 150 "$chain"
    k=$((k + 1))
  done
done

# flite: each voice but the one that only tells the time, 300 s a file.
stretches=(0.85 1.0 1.25 1.1)
f0s=(90 110 140 170 200)
k=0
for voice in $(flite -lv | sed 's/^Voices available://' | tr ' ' '\n' | grep -v '_time$' | grep . | LC_ALL=C sort); do
  for j in 0 1 2; do
    stretch=${stretches[k % ${#stretches[@]}]}
    f0=${f0s[k % ${#f0s[@]}]}
    chain=${chains_speech[(k + 2) % ${#chains_speech[@]}]}
    job "speech-flite/${voice}_d${stretch}_f${f0}_$j.$chain.wav" speak_flite \
      "$voice" "$stretch" "$f0" $((100 + k)) 6000 300 "$chain"
    k=$((k + 1))
  done
done

# festival: the Italian and the Russian voice, 360 s a file.
cents_list=(0 150 -150 300)
k=0
for vl in pc_diphone:it msu_ru_nsh_clunits:ru; do
  voice=${vl%%:*} lang=${vl##*:}
  for j in 0 1 2 3; do
    stretch=${stretches[j]}
    cents=${cents_list[j]}
    chain=${chains_speech[(k + 4) % ${#chains_speech[@]}]}
    job "speech-festival/${lang}_${voice}_d${stretch}_c${cents}_$j.$chain.wav" speak_festival \
      "$voice" "$lang" "$stretch" "$cents" $((200 + k)) 6500 360 "$chain"
    k=$((k + 1))
  done
done

# Asterisk's English and French prompts in runs of about five minutes, each
# run twice: as recorded and through a codec.
chains_prompt_a=(tel-full-none loud-full-none quiet-full-none tel-phone-none)
chains_prompt_b=(tel-full-gsm tel-phone-amr loud-full-ulaw tel-full-g726 tel-full-alaw)
for dir in en_US_f_Allison fr_CA_f_June; do
  [ -d "/usr/share/asterisk/sounds/$dir" ] || continue
  find "/usr/share/asterisk/sounds/$dir" -name '*.wav' | LC_ALL=C sort >"$work/prompts"
  group=() seconds=0 n=0
  flush_group() {
    [ ${#group[@]} -gt 0 ] || return 0
    local a=${chains_prompt_a[n % ${#chains_prompt_a[@]}]} b=${chains_prompt_b[n % ${#chains_prompt_b[@]}]}
    job "prompts-asterisk/${dir}_$(printf %02d $n).$a.wav" concat_prompts "$a" "${group[@]}"
    job "prompts-asterisk/${dir}_$(printf %02d $n).$b.wav" concat_prompts "$b" "${group[@]}"
    group=() seconds=0 n=$((n + 1))
  }
  while read -r f; do
    group+=("$f")
    seconds=$((seconds + $(soxi -s "$f") / 8000 + 1))
    [ $seconds -lt 300 ] || flush_group
  done <"$work/prompts"
  flush_group
done

# Music on hold, pitched, stretched and through codecs.
moh_variants=("-:tel-full-none" "pitch 100:tel-full-none" "pitch -100:loud-phone-none"
  "pitch 200:tel-full-gsm" "pitch 50:quiet-full-none" "tempo 0.9:tel-full-none"
  "tempo 1.1:tel-phone-none" "-:tel-full-ulaw" "-:loud-full-gsm" "-:tel-phone-amr")
find /usr/share/asterisk/moh -name '*.wav' 2>/dev/null | LC_ALL=C sort >"$work/moh"
while read -r f; do
  base=$(basename "$f" .wav)
  for v in "${moh_variants[@]}"; do
    fx=${v%%:*} chain=${v##*:}
    name=$base.$([ "$fx" = - ] && echo orig || echo "${fx// /}").$chain.wav
    if [ "$fx" = - ]; then
      job "moh-variants/$name" moh_variant "$f" "$chain"
    else
      # shellcheck disable=SC2086 # the effect and its value as two words
      job "moh-variants/$name" moh_variant "$f" "$chain" $fx
    fi
  done
done <"$work/moh"

# Game music: 50 s of each track from 10 s in.
music_sources() {
  local f
  for f in /usr/share/games/supertux2/music/*/*.ogg /usr/share/games/supertux2/music/*.ogg \
    /usr/share/games/frozen-bubble/snd/*zik*.ogg /usr/share/games/hedgewars/Data/Music/*.ogg \
    /usr/share/games/widelands/data/music/*.ogg /usr/share/games/pingus/data/music/*.{it,s3m,mod,xm,ogg} \
    /usr/share/games/neverball/bgm/*.ogg /usr/share/games/lincity-ng/music/default/*.ogg \
    /usr/share/games/xmoto/Textures/Musics/*.ogg; do
    [ -e "$f" ] && echo "$f"
  done | sort
}
chains_music=(tel-full-none loud-full-none tel-phone-ulaw tel-full-gsm quiet-full-none
  tel-phone-none loud-phone-amr tel-full-alaw)
k=0
music_sources >"$work/music"
while read -r f; do
  game=$(echo "$f" | sed -E 's|^/usr/share/games/([^/]+)/.*|\1|')
  base=$(basename "$f")
  chain=${chains_music[k % ${#chains_music[@]}]}
  name=${base%.*}
  job "music-games/${game}_${name//[^A-Za-z0-9_-]/_}.$chain.wav" excerpt "$f" 10 50 "$chain"
  k=$((k + 1))
done <"$work/music"

run_jobs

# Speech over music: needs the speech above. Speech without a codec, music
# from the long tracks, 150 s each.
speech=()
for d in speech-espeak speech-flite speech-festival prompts-asterisk; do
  mapfile -t files < <(find "$out/$d" -name '*-none.wav' | LC_ALL=C sort)
  step=$(( ${#files[@]} / 6 ))
  [ "$step" -ge 1 ] || step=1
  for ((i = 0; i < ${#files[@]} && i < 6 * step; i += step)); do speech+=("${files[i]}"); done
done
music=()
for f in /usr/share/games/hedgewars/Data/Music/*.ogg /usr/share/games/widelands/data/music/*.ogg \
  /usr/share/asterisk/moh/*.wav; do
  [ -e "$f" ] && music+=("$f")
done
chains_mix=(tel-full-none tel-phone-none tel-full-gsm loud-full-none tel-phone-amr tel-full-ulaw)
unders=(0 6 12)
if [ ${#music[@]} -gt 0 ]; then
  for ((k = 0; k < ${#speech[@]}; ++k)); do
    m=${music[(k * 7) % ${#music[@]}]}
    under=${unders[k % 3]}
    chain=${chains_mix[k % ${#chains_mix[@]}]}
    s=$(basename "${speech[k]}" .wav)
    job "speech-over-music/$(printf %02d $k)_${s%%.*}_$(basename "${m%.*}")_u$under.$chain.wav" mix \
      "${speech[k]}" "$m" "$under" 150 "$chain"
  done
fi
run_jobs

echo "make_corpus: $out"
total=0
for d in "$out"/*/; do
  seconds=$(find "$d" -name '*.wav' -print0 | LC_ALL=C sort -z | xargs -0 -r soxi -D | awk '{ s += $1 } END { printf "%.0f", s }')
  total=$((total + seconds))
  printf '  %-18s %6.2f h  %4d files\n' "$(basename "$d")" "$(awk -v s="$seconds" 'BEGIN { print s / 3600 }')" \
    "$(find "$d" -name '*.wav' | wc -l)"
done
printf '  %-18s %6.2f h\n' total "$(awk -v s="$total" 'BEGIN { print s / 3600 }')"
