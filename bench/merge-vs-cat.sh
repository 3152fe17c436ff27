#!/usr/bin/env bash
# Times tamborel-merge against `cat INPUTS > FILE` on the same inputs, in one run:
#   (a) 100 files of 10 MiB with CR LF line ends      goal: <= 1.0 x cat
#   (b) the same with LF-only ends                     goal: <= 1.2 x cat
#       and with lone-CR ends                          goal: <= 1.2 x cat
#   (c) 10,000 files of 1 KiB                          goal: <= 1.05 x cat
#   (d) one 1 GiB file without a line break            goal: <= 1.15 x cat, peak RSS < 64 MiB
#   (e) 100 files of 10 MiB of Chinese text, CR LF, nothing to convert:
#       in UTF-8, and in GBK                             goal: <= 1.05 x cat
#   (f) 1 GiB, 32 files of 16 MiB in UTF-8 and 32 in GBK:
#       into UTF-8 (UTF-8 first), into GB18030 (GBK first) goal: <= 2 x cat
#   (g) one 512 MiB file of dense Chinese prose in GBK, alone, checked to its end
#                                                      goal: <= 1.05 x cat
#   (h) 512 MiB of dense Chinese prose converted, after a small file that fixes the
#       output's encoding: GBK into UTF-8, UTF-8 into GBK   goal: <= 2 x cat
# The tool flushes its output to the disk before it names it. On a RAM-backed folder
# (tmpfs) that costs nothing, and the goals apply to the wall time. On any other
# folder cat is followed by an fsync of its output, and since the wait for the disk
# then hides the work done, the goals apply to the processor time (user + system).
# Each timing is the median of RUNS runs (default 5), cat and the tool alternating.
# The best run of each is given too: on a virtual machine that hands freed memory
# back to its host, any command may have a run or two slowed by the host supplying
# it again, which the medians of few runs do not always leave out.
# Where there are few inputs, a plain read/write copy (dd) is timed as well.
#
# Usage: bench/merge-vs-cat.sh [TOOL]
#   TOOL      path of tamborel-merge; found in the usual build folders when omitted.
#   BENCH_DIR folder in which the data and outputs are made (default: $TMPDIR or /tmp);
#             inputs and outputs share its file system. About 2.2 GiB are needed.
#   RUNS      runs per measurement.
# Builds nothing; removes its data when it ends, however it ends.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
runs=${RUNS:-5}

find_tool() {
    local candidate
    for candidate in "$root"/build-merge/bench/tamborel-merge "$root"/build/*/bench/tamborel-merge \
        "$root"/build/bench/tamborel-merge; do
        if [[ -x $candidate ]]; then
            echo "$candidate"
            return 0
        fi
    done
    return 1
}

tool=${1:-$(find_tool || true)}
if [[ -z $tool || ! -x $tool ]]; then
    echo "tamborel-merge not found: build it (ninja tamborel-merge) or pass its path" >&2
    exit 2
fi
if [[ ! -x /usr/bin/time ]]; then
    echo "note: /usr/bin/time is missing (Debian package 'time'); peak memory is read from /proc instead" >&2
fi

work=$(mktemp -d "${BENCH_DIR:-${TMPDIR:-/tmp}}/merge-vs-cat.XXXXXX")
trap 'rm -rf "$work"' EXIT
echo "tool: $tool"
echo "data: $work ($(df -h --output=avail "$work" | tail -1 | tr -d ' ') free), $runs runs each"

case $(stat -f -c %T "$work") in
tmpfs | ramfs) on_disk=0 measure="wall time" ;;
*) on_disk=1 measure="processor time (user + system), cat followed by fsync" ;;
esac
echo "compared: $measure"

# The wall and the processor seconds of one command and its children.
times_of() {
    local TIMEFORMAT='%R %U %S'
    { time "$@" >/dev/null; } 2>&1 | awk '{ printf "%.3f %.3f\n", $1, $2 + $3 }'
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

run_cat() {
    cat "${inputs[@]}" >"$work/out.cat"
    if ((on_disk)); then sync --data "$work/out.cat"; fi
}
# What the tool says (the inputs it converted) is kept aside, out of the timings.
run_tool() { "$tool" "$work/out.tool" "${inputs[@]}" 2>"$work/tool.err"; }
# A plain read()/write() copy for reference: coreutils 9 cat copies regular files
# inside the kernel (copy_file_range), which no program that looks at the bytes can do.
run_dd() {
    local input
    for input in "${inputs[@]}"; do
        dd if="$input" bs=128K status=none
    done >"$work/out.dd"
}

# Times cat, the tool and (for few inputs) dd alternately on "${inputs[@]}"; prints
# the medians, the ratio to cat with its verdict, and the ratio to dd.
compare() {
    local name=$1 goal=$2 i cat_times=() tool_times=() dd_times=() column
    run_cat && rm -f "$work/out.cat" # warms the page cache for all
    sync
    column=$((on_disk ? 2 : 1))
    # Each run starts with no write-back of an earlier output still going on.
    for ((i = 0; i < runs; i++)); do
        cat_times+=("$(times_of run_cat | cut -d' ' -f$column)")
        rm -f "$work/out.cat"
        sync
        tool_times+=("$(times_of run_tool | cut -d' ' -f$column)")
        rm -f "$work/out.tool"
        sync
        if ((${#inputs[@]} <= 100)); then
            dd_times+=("$(times_of run_dd | cut -d' ' -f$column)")
            rm -f "$work/out.dd"
            sync
        fi
    done
    if [[ -s $work/tool.err ]]; then
        head -c 300 "$work/tool.err" | sed 's/^/  the tool said: /'
    fi
    local cat_median tool_median dd_median=0
    cat_median=$(printf '%s\n' "${cat_times[@]}" | median)
    tool_median=$(printf '%s\n' "${tool_times[@]}" | median)
    if ((${#dd_times[@]} > 0)); then
        dd_median=$(printf '%s\n' "${dd_times[@]}" | median)
    fi
    awk -v n="$name" -v c="$cat_median" -v t="$tool_median" -v d="$dd_median" -v g="$goal" \
        -v ct="${cat_times[*]}" -v tt="${tool_times[*]}" -v dt="${dd_times[*]}" '
        function least(runs,    v, k, i, m) {
            k = split(runs, v, " ")
            m = v[1]
            for (i = 2; i <= k; i++)
                if (v[i] + 0 < m + 0)
                    m = v[i]
            return m
        }
        BEGIN {
            r = t / c
            printf "%-26s cat %6.3f s  tool %6.3f s  ratio %5.2f  goal <= %.2f  %s", n, c, t, r, g,
                   (r <= g ? "met" : "MISSED")
            if (d > 0)
                printf "   (dd %6.3f s, tool/dd %.2f)", d, t / d
            printf "\n%-26s   best runs: cat %6.3f s  tool %6.3f s  ratio %5.2f\n", "", least(ct), least(tt),
                   (least(ct) > 0 ? least(tt) / least(ct) : 0)
            printf "%-26s   cat runs:  %s\n%-26s   tool runs: %s\n", "", ct, "", tt
            if (d > 0)
                printf "%-26s   dd runs:   %s\n", "", dt
        }'
}

# A file of `size` bytes made of text lines ended as `ending` says (crlf, lf, cr, none).
make_text() {
    local path=$1 size=$2 ending=$3
    local line='Tamborel merges plain-text files into one; this line is 60 bytes'
    # The endless generators stop by SIGPIPE once head has enough: not a failure.
    set +o pipefail
    case $ending in
    crlf) yes "$line" | sed 's/$/\r/' | head -c "$size" >"$path" ;;
    lf) yes "$line" | head -c "$size" >"$path" ;;
    cr) yes "$line" | tr '\n' '\r' | head -c "$size" >"$path" ;;
    none) head -c "$size" /dev/zero | tr '\0' 'x' >"$path" ;;
    esac
    set -o pipefail
    [[ $(stat -c %s "$path") -eq $size ]]
}

# A file of at most `size` bytes of Chinese text lines ended by CR LF, in `encoding`
# (UTF-8 or GBK); whole lines only, so that no character is cut.
make_chinese() {
    local path=$1 size=$2 encoding=$3 line
    line=$(printf '%s\r' '合并文本文件：这一行是中文，用来测量编码的检查与转换。Tamborel 0123456789' |
        iconv -f UTF-8 -t "$encoding")
    # Counted in bytes, whatever the locale.
    local bytes
    bytes=$(printf '%s\n' "$line" | wc -c)
    set +o pipefail
    yes "$line" | head -n $((size / bytes)) >"$path"
    set -o pipefail
}

# A file of at most `size` bytes of Chinese prose as a novel has it: characters and
# their punctuation (“”！：，。), hardly any ASCII but the CR LF line ends.
make_dense() {
    local path=$1 size=$2 encoding=$3 line bytes
    line=$(printf '%s\r' '“合并文本文件！”她说：“这一章的文字，要按次序进行合并，不能颠倒。”他点点头，把第一百二十章放在最后，又检查了一遍编码。' |
        iconv -f UTF-8 -t "$encoding")
    bytes=$(printf '%s\n' "$line" | wc -c)
    set +o pipefail
    yes "$line" | head -n $((size / bytes)) >"$path"
    set -o pipefail
}

# Fills "$work/in" with `count` copies of one generated file.
make_inputs() {
    local count=$1 size=$2 ending=$3 i
    rm -rf "$work/in"
    mkdir "$work/in"
    case $ending in
    utf-8 | gbk) make_chinese "$work/in/0000.txt" "$size" "$ending" ;;
    *) make_text "$work/in/0000.txt" "$size" "$ending" ;;
    esac
    for ((i = 1; i < count; i++)); do
        cp "$work/in/0000.txt" "$(printf '%s/in/%04d.txt' "$work" "$i")"
    done
    inputs=("$work"/in/*.txt)
}

# Peak resident memory in KiB of the tool on "${inputs[@]}".
peak_rss_kib() {
    if [[ -x /usr/bin/time ]]; then
        /usr/bin/time -v "$tool" "$work/out.tool" "${inputs[@]}" 2>&1 >/dev/null |
            awk -F: '/Maximum resident set size/ { gsub(/ /, "", $2); print $2 }'
    else
        "$tool" "$work/out.tool" "${inputs[@]}" &
        local pid=$! peak=0 rss
        while rss=$(awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status" 2>/dev/null); do
            [[ -n $rss ]] && peak=$rss
            sleep 0.05
        done
        wait "$pid"
        echo "$peak"
    fi
}

echo
echo "(a) 100 x 10 MiB, CR LF"
make_inputs 100 $((10 * 1024 * 1024)) crlf
compare "(a) CR LF" 1.0

echo "(b) 100 x 10 MiB, LF only"
make_inputs 100 $((10 * 1024 * 1024)) lf
compare "(b) LF only" 1.2

echo "(b) 100 x 10 MiB, lone CR"
make_inputs 100 $((10 * 1024 * 1024)) cr
compare "(b) lone CR" 1.2

echo "(c) 10,000 x 1 KiB, CR LF"
make_inputs 10000 1024 crlf
compare "(c) 10,000 small files" 1.05

echo "(d) 1 GiB, no line break"
make_inputs 1 $((1024 * 1024 * 1024)) none
compare "(d) one 1 GiB line" 1.15
rss=$(peak_rss_kib)
rm -f "$work/out.tool"
awk -v k="$rss" 'BEGIN { printf "(d) peak RSS of the tool: %.1f MiB  goal < 64 MiB  %s\n", k / 1024, (k < 65536 ? "met" : "MISSED") }'

echo "(e) 100 x 10 MiB, Chinese, UTF-8"
make_inputs 100 $((10 * 1024 * 1024)) utf-8
compare "(e) UTF-8, none converted" 1.05

echo "(e) 100 x 10 MiB, Chinese, GBK"
make_inputs 100 $((10 * 1024 * 1024)) gbk
compare "(e) GBK, none converted" 1.05

echo "(f) 1 GiB: 32 x 16 MiB UTF-8, 32 x 16 MiB GBK"
rm -rf "$work/in"
mkdir "$work/in"
make_chinese "$work/in/u00.txt" $((16 * 1024 * 1024)) utf-8
make_chinese "$work/in/g00.txt" $((16 * 1024 * 1024)) gbk
for ((i = 1; i < 32; i++)); do
    cp "$work/in/u00.txt" "$(printf '%s/in/u%02d.txt' "$work" "$i")"
    cp "$work/in/g00.txt" "$(printf '%s/in/g%02d.txt' "$work" "$i")"
done
inputs=("$work"/in/u*.txt "$work"/in/g*.txt)
compare "(f) GBK into UTF-8" 2
inputs=("$work"/in/g*.txt "$work"/in/u*.txt)
compare "(f) UTF-8 into GB18030" 2

echo "(g) one 512 MiB file, dense Chinese, GBK"
rm -rf "$work/in"
mkdir "$work/in"
make_dense "$work/in/g.txt" $((512 * 1024 * 1024)) gbk
inputs=("$work/in/g.txt")
compare "(g) GBK alone, checked" 1.05

echo "(h) 512 MiB of dense Chinese converted"
make_dense "$work/in/u.txt" $((512 * 1024 * 1024)) utf-8
printf '中文\r\n' >"$work/in/small-u.txt"
printf '中文\r\n' | iconv -f UTF-8 -t GBK >"$work/in/small-g.txt"
inputs=("$work/in/small-u.txt" "$work/in/g.txt")
compare "(h) GBK into UTF-8" 2
inputs=("$work/in/small-g.txt" "$work/in/u.txt")
compare "(h) UTF-8 into GBK" 2
