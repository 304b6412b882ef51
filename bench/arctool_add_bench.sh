#!/usr/bin/env bash
# Adding many files named one by one on the command line: arctool add against
# zip -q, wall seconds, median of the runs. The files are small (100 bytes of
# Czech text each), so the figure is the cost per name, not compression.
# Usage: bench/arctool_add_bench.sh BUILD_DIR [FILES] [RUNS]
set -euo pipefail
source "$(dirname "$(realpath "$0")")/wall_time.sh"
arctool=$(realpath "$1")/tools/arctool/arctool
files=${2:-20000}
runs=${3:-3}
dir=$(mktemp -d /tmp/vx-add-bench.XXXXXX)
trap 'rm -rf "$dir"' EXIT
mkdir "$dir/f"
cd "$dir/f"
python3 -c "
for i in range($files):
    open(f'file_{i}.txt', 'w').write(f'řádek {i} ' * 10)
"
names=(*)

reset="$dir/out.zip"
echo "$files files, $runs runs, load average $(cut -d' ' -f1 /proc/loadavg)"
echo "arctool add: $(timed "$arctool" add "$dir/out.zip" "${names[@]}") s"
echo "zip -q:      $(timed zip -q "$dir/out.zip" "${names[@]}") s"
