#!/usr/bin/env bash
# Times whole quorvane-cli commands on generated classes, files read and
# output written included: the median wall time of three runs and the largest
# resident size.
#   bench/cli_bench.sh CLI [SCRATCH_DIR]
set -euo pipefail
cli=$1
work=${2:-$(mktemp -d)}
runs=3
mkdir -p "$work"

class() {  # students concepts items -> the folder of a generated class
  local dir="$work/class-$1x$2x$3"
  [ -f "$dir/students.txt" ] ||
    "$cli" generate --students "$1" --concepts "$2" --items "$3" --seed 1 --output-dir "$dir" >/dev/null
  echo "$dir"
}

timed() {  # label, command...
  local label=$1 t m mem=0 times=()
  shift
  for _ in $(seq "$runs"); do
    /usr/bin/time -f "%e %M" -o "$work/time" "$@" >/dev/null
    read -r t m <"$work/time"
    times+=("$t")
    ((m > mem)) && mem=$m
  done
  printf '%-34s %7s s %6d MB\n' "$label" \
    "$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p")" $((mem / 1024))
}

for size in "100000 20 40" "1000000 20 40" "20000 60 200" "1000 181 1000"; do
  read -r students concepts items <<<"$size"
  dir=$(class "$students" "$concepts" "$items")
  files=(--data "$dir/students.txt" --concepts "$dir/concepts.txt" --items "$dir/item-concepts.txt")
  name="$students x $concepts x $items"
  formats=(table csv)
  ((students <= 100000)) && formats+=(json)
  for format in "${formats[@]}"; do
    timed "analyze $format, $name" "$cli" analyze "${files[@]}" --format "$format"
  done
  timed "check, $name" "$cli" check "${files[@]}"
done

# Exports of 100,000 students; the long table's rate is its bytes over the time.
dir=$(class 100000 20 40)
timed "analyze links, 100000 x 20 x 40" "$cli" analyze --class "$dir" --format links
printf '%-34s %7s MB\n' "  links size" $(($("$cli" analyze --class "$dir" --format links | wc -c) >> 20))
for to in graphml xlsx; do
  timed "export $to, 100000 x 20 x 40" "$cli" export --class "$dir" --to "$to" \
    --output "$work/export.$to"
done
