# Wall seconds of a command for the bench scripts, which source this file:
# `timed CMD...` runs it $runs times, removing the file $reset before each
# run, and prints the median.
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
timed() {
  for _ in $(seq "$runs"); do
    rm -f "$reset"
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s.%N)
    awk "BEGIN { print $end - $start }"
  done | median
}
