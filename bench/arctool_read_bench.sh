#!/usr/bin/env bash
# Testing and extracting an archive of many small members: arctool test and
# extract against unzip -t and unzip, wall seconds, median of the runs (each
# names every member on its output, which goes to /dev/null).
# The members are about 30 bytes each in 50 folders, so the figure is the
# cost per member (system calls, buffers), not inflating.
# Usage: bench/arctool_read_bench.sh BUILD_DIR [MEMBERS] [RUNS] [CPU]
set -euo pipefail
source "$(dirname "$(realpath "$0")")/wall_time.sh"
arctool=$(realpath "$1")/tools/arctool/arctool
members=${2:-50000}
runs=${3:-3}
pin=(taskset -c "${4:-5}")
dir=$(mktemp -d /tmp/vx-read-bench.XXXXXX)
trap 'rm -rf "$dir"' EXIT
mkdir "$dir/src"
(cd "$dir/src" && python3 -c "
import os
for i in range($members):
    folder = 'd%02d' % (i % 50)
    os.makedirs(folder, exist_ok=True)
    open('%s/f%05d.txt' % (folder, i), 'w').write('member %d\n' % i * 3)
" && zip -qr "$dir/m.zip" .)

reset="$dir/none"
# Each extraction into a fresh folder.
ours_extract() { "${pin[@]}" "$arctool" extract "$dir/m.zip" "$(mktemp -d "$dir/o.XXXXXX")"; }
unzip_extract() { "${pin[@]}" unzip "$dir/m.zip" -d "$(mktemp -d "$dir/o.XXXXXX")"; }
echo "$members members, $runs runs, load average $(cut -d' ' -f1 /proc/loadavg)"
echo "arctool test:    $(timed "${pin[@]}" "$arctool" test "$dir/m.zip") s"
echo "unzip -t:        $(timed "${pin[@]}" unzip -t "$dir/m.zip") s"
echo "arctool extract: $(timed ours_extract) s"
echo "unzip:           $(timed unzip_extract) s"
