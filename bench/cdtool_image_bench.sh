#!/usr/bin/env bash
# Many files in one folder onto an image: cdtool image (the whole burn on the
# software drive) against xorriso -as mkisofs -J, wall seconds, median of the
# runs. Then the big cases the test suite leaves out: the image of FILES files
# and of one sparse file of 2 GiB + 1 byte are read back by 7-Zip, bsdtar and
# isoinfo and compared with their sources, file counts and bytes.
# Usage: bench/cdtool_image_bench.sh BUILD_DIR [FILES] [RUNS]
set -euo pipefail
source "$(dirname "$(realpath "$0")")/wall_time.sh"
cdtool=$(realpath "$1")/tools/cdtool/cdtool
files=${2:-20000}
runs=${3:-3}
dir=$(mktemp -d /tmp/vx-cd-bench.XXXXXX)
trap 'rm -rf "$dir"' EXIT
mkdir "$dir/many"
cd "$dir"
python3 -c "
for i in range($files):
    open(f'many/file_{i}.txt', 'w').write(f'řádek {i} ' * 10)
"

reset="$dir/out.iso"
echo "$files files, $runs runs, load average $(cut -d' ' -f1 /proc/loadavg)"
ours=$(timed "$cdtool" image --disc dvd+r "$dir/out.iso" many)
peer=$(timed xorriso -as mkisofs -J -o "$dir/out.iso" many)
echo "cdtool image:          $ours s"
echo "xorriso -as mkisofs:   $peer s"
awk "BEGIN { printf \"ratio:                 %.2fx\n\", $ours / $peer }"

check() { # what, source folder
  local out
  for peer in 7zz bsdtar; do
    out=$dir/out.$peer
    rm -rf "$out" && mkdir "$out"
    if [ $peer = 7zz ]; then 7zz x -y -o"$out" out.iso >/dev/null; else bsdtar xf out.iso -C "$out"; fi
    diff -r "$2" "$out/$(basename "$2")" >/dev/null || { echo "$1: $peer differs"; exit 1; }
  done
  [ "$(isoinfo -J -j cp1250 -f -i out.iso | grep -c ';1$')" -eq "$(find "$2" -type f | wc -l)" ] ||
    { echo "$1: isoinfo counts another number of files"; exit 1; }
  echo "$1: read back whole by 7zz, bsdtar and isoinfo"
}
"$cdtool" image --disc dvd+r out.iso many >/dev/null
check "$files files" many
rm -rf many out.*
mkdir big && truncate -s $((2 * 1024 * 1024 * 1024 + 1)) big/big.bin
printf 'end' | dd of=big/big.bin bs=1 seek=$((2 * 1024 * 1024 * 1024 - 2)) conv=notrunc status=none
"$cdtool" image --disc dvd+r out.iso big >/dev/null
check "2 GiB + 1 byte" big
