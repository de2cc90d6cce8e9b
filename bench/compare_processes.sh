#!/usr/bin/env bash
# Whole-process comparison: kvaderon-cli invert beside cp (and ImageMagick's convert -negate and
# vips invert when installed) on one 4000 x 6000 16-bit RGB file (144 MB) and on 20 files of
# 2000 x 3000 (36 MB each); kvaderon-cli analyze of the large file beside cat FILE > /dev/null;
# invert --verify and invert --checksums of the large file beside cp, and verify of the pair beside
# cat of both files; a file of a million strips with a reduced image of a million strips (19 MB),
# invert --invert-previews and verify --invert-previews beside invert without the option; the
# window's batch of the 20 files, from the click to the result dialog, beside kvaderon-cli invert
# --jobs 1 of them; the peak resident memory of kvaderon-cli invert on the large file. Every time is
# the median of several runs, taken round by round so that all commands see the same machine; the
# ratio is to the yardstick of its group (cp, cat, invert without the option, or the command line)
# in the same run. Warm page cache; writes are synced between runs, outside the timing.
#   bench/compare_processes.sh BUILD_FOLDER        (KVADERON_BENCH_RUNS, KVADERON_BENCH_DATA)
set -euo pipefail
build=${1:?usage: compare_processes.sh BUILD_FOLDER}
runs=${KVADERON_BENCH_RUNS:-7}
data=${KVADERON_BENCH_DATA:-bench-data}
cli=$build/cli/kvaderon-cli
window=$build/bench/kvaderon_window_batch
make_tiff=$build/bench/kvaderon_make_tiff

mkdir -p "$data/single" "$data/batch"
[[ -f $data/single/big.tif ]] || "$make_tiff" "$data/single/big.tif" 4000 6000
for i in $(seq -w 1 20); do
  [[ -f $data/batch/scan$i.tif ]] || "$make_tiff" "$data/batch/scan$i.tif" 2000 3000
done
[[ -f $data/strips.tif ]] || "$make_tiff" "$data/strips.tif" --strips 1000000
out=$data/out
batch=("$data"/batch/scan*.tif)
# The positive of the large file, for verify.
[[ -f $data/positive/big.tif ]] || "$cli" invert --out "$data/positive" "$data/single/big.tif" >/dev/null

[[ -f $data/positive/strips.tif ]] ||
  "$cli" invert --invert-previews --out "$data/positive" "$data/strips.tif" >/dev/null

# The real ImageMagick binary, not a wrapper that may stand in front of it.
magick=$(command -v convert-im6.q16 || command -v magick || command -v convert || true)
vips=$(command -v vips || true)

names=() commands=() own_time=()
add() { names+=("$1"); commands+=("$2"); own_time+=(0); }
# A command that prints the seconds of the part to compare, which stand for its time.
add_own_time() { add "$@"; own_time[-1]=1; }
add "single  cp" 'cp "$data/single/big.tif" "$out/"'
add "single  kvaderon-cli" '"$cli" invert --out "$out" "$data/single/big.tif" >/dev/null'
[[ -n $magick ]] && add "single  convert -negate" '"$magick" "$data/single/big.tif" -negate "$out/big.tif"'
[[ -n $vips ]] && add "single  vips invert" '"$vips" invert "$data/single/big.tif" "$out/big.tif"'
add "proof   cp" 'cp "$data/single/big.tif" "$out/"'
add "proof   kvaderon-cli --verify" '"$cli" invert --verify --out "$out" "$data/single/big.tif" >/dev/null'
add "proof   kvaderon-cli --checksums" '"$cli" invert --checksums --out "$out" "$data/single/big.tif" >/dev/null'
add "verify  cat both > /dev/null" 'cat "$data/single/big.tif" "$data/positive/big.tif" >/dev/null'
add "verify  kvaderon-cli verify" '"$cli" verify "$data/single/big.tif" "$data/positive/big.tif" >/dev/null'
add "analyze cat > /dev/null" 'cat "$data/single/big.tif" >/dev/null'
add "analyze kvaderon-cli analyze" '"$cli" analyze "$data/single/big.tif" >/dev/null'
add "strips  invert" '"$cli" invert --out "$out" "$data/strips.tif" >/dev/null'
add "strips  invert --invert-previews" '"$cli" invert --invert-previews --out "$out" "$data/strips.tif" >/dev/null'
add "strips  verify --invert-previews" \
  '"$cli" verify --invert-previews "$data/strips.tif" "$data/positive/strips.tif" >/dev/null'
add "batch   cp (loop)" 'for f in "${batch[@]}"; do cp "$f" "$out/"; done'
add "batch   kvaderon-cli --jobs 2" '"$cli" invert --jobs 2 --out "$out" "${batch[@]}" >/dev/null'
[[ -n $magick ]] && add "batch   convert -negate (loop)" \
  'for f in "${batch[@]}"; do "$magick" "$f" -negate "$out/${f##*/}"; done'
[[ -n $vips ]] && add "batch   vips invert (loop)" 'for f in "${batch[@]}"; do "$vips" invert "$f" "$out/${f##*/}"; done'
add "window  kvaderon-cli --jobs 1" '"$cli" invert --jobs 1 --out "$out" "${batch[@]}" >/dev/null'
[[ -x $window ]] && add_own_time "window  window's batch, click to result" '"$window" "$out" "${batch[@]}"'

declare -A times
for ((round = 0; round < runs; ++round)); do
  for i in "${!commands[@]}"; do
    rm -rf "$out" && mkdir -p "$out" && sync
    start=$(date +%s%N)
    if [[ ${own_time[$i]} == 1 ]]; then
      times[$i]+="$(eval "${commands[$i]}" | awk '{ printf "%d", $1 * 1e9 }') "
    else
      eval "${commands[$i]}"
      times[$i]+="$(( $(date +%s%N) - start )) "
    fi
  done
done
rm -rf "$out"

median() { tr ' ' '\n' <<<"$1" | grep . | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
printf '\nWhole process, median of %d runs (warm cache)\n' "$runs"
printf '%-36s %10s %8s\n' "case and command" "median s" "ratio"
for i in "${!commands[@]}"; do
  m=$(median "${times[$i]}")
  [[ ${names[$i]} == *" cp"* || ${names[$i]} == *" cat "* || ${names[$i]} == *"--jobs 1" ||
    ${names[$i]} == "strips  invert" ]] && base=$m
  awk -v n="${names[$i]}" -v m="$m" -v b="$base" 'BEGIN { printf "%-36s %10.3f %8.2f\n", n, m / 1e9, m / b }'
done
rm -rf "$out" && mkdir -p "$out"
peak=$(/usr/bin/time -f %M "$cli" invert --out "$out" "$data/single/big.tif" 2>&1 >/dev/null | tail -n 1)
rm -rf "$out"
printf '%-36s %10.1f MiB\n' "peak memory of invert, large file" "$(awk -v k="$peak" 'BEGIN { print k / 1024 }')"
printf 'Goals: single file at most 0.9 x cp; batch with --jobs 2 at most 0.7 x the cp loop;\n'
printf 'analyze at most 1.2 x cat; the window batch at most 1.1 x the command line with --jobs 1;\n'
printf 'peak memory of invert under 16 MiB; invert --verify at most 1.6 x cp, --checksums at most\n'
printf '2 x cp; verify at most 1.3 x cat of both.\n'
