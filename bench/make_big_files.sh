#!/bin/sh
# Makes the big documents the benchmarks open, none of which is kept in the repository:
#   bench/make_big_files.sh [folder]   (default: /tmp/brevon-bench)
# bench-50mb.rtf       the 10 MB benchmark document's body over and over after its header, to 50 MB
# lines-50mb.txt       50 MB of text in lines of about 70 characters
# line-20mb.txt        one line of 20 MB, no line end
# line-200mb.txt       one line of 200 MB, more than the editing area shows in one paragraph
# tall-600k.rtf        600,000 one-word paragraphs: 3.6 MB, but taller than the toolkit's endless page
# bench-1100mb.rtf     only with BREVON_BENCH_HUGE=1: the 50 MB document's body over and over, to 1.1 GB
# Files already there are left as they are.
set -eu

out=${1:-/tmp/brevon-bench}
corpus=${BREVON_CORPUS_DIR:-$(dirname "$0")/../../shared/rtf-corpus}
mkdir -p "$out"

# The body of an RTF document starts at its first \pard; its last byte closes the document.
if [ ! -e "$out/bench-50mb.rtf" ]; then
    src="$corpus/bench/bench-10mb.rtf"
    header=$(grep -bo '\\pard' "$src" | head -n 1 | cut -d: -f1)
    {
        head -c "$header" "$src"
        size=$header
        body=$(($(wc -c < "$src") - header - 1))
        while [ "$size" -lt 50000000 ]; do
            tail -c +"$((header + 1))" "$src" | head -c -1
            size=$((size + body))
        done
        printf '}'
    } > "$out/bench-50mb.rtf.part"
    mv "$out/bench-50mb.rtf.part" "$out/bench-50mb.rtf"
fi

# Lines of differing length from a fixed word list, the same on every run.
lines() {
    awk -v bytes="$1" 'BEGIN {
        n = split("lorem ipsum dolor sit amet consectetur adipiscing elit sed do eiusmod tempor incididunt ut labore et dolore magna aliqua", w, " ")
        total = 0; i = 0
        while (total < bytes) {
            line = ""
            len = 40 + (i * 7) % 60
            while (length(line) < len) { line = line w[(i % n) + 1] " "; i++ }
            print line
            total += length(line) + 1
        }
    }'
}

[ -e "$out/lines-50mb.txt" ] || { lines 50000000 > "$out/lines-50mb.part" && mv "$out/lines-50mb.part" "$out/lines-50mb.txt"; }
[ -e "$out/line-20mb.txt" ] || { lines 20000000 | tr '\n' ' ' | head -c 20000000 > "$out/line-20mb.part" && mv "$out/line-20mb.part" "$out/line-20mb.txt"; }
[ -e "$out/line-200mb.txt" ] || { lines 200000000 | tr '\n' ' ' | head -c 200000000 > "$out/line-200mb.part" && mv "$out/line-200mb.part" "$out/line-200mb.txt"; }
[ -e "$out/tall-600k.rtf" ] || {
    { printf '{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20\n'; awk 'BEGIN { for (i = 0; i < 600000; i++) print "x\\par" }'; printf '}'; } \
        > "$out/tall-600k.part" && mv "$out/tall-600k.part" "$out/tall-600k.rtf"
}
if [ "${BREVON_BENCH_HUGE:-0}" = 1 ] && [ ! -e "$out/bench-1100mb.rtf" ]; then
    src="$out/bench-50mb.rtf"
    header=$(grep -bo '\\pard' "$src" | head -n 1 | cut -d: -f1)
    body=$(($(wc -c < "$src") - header - 1))
    {
        head -c "$header" "$src"
        size=$header
        while [ "$size" -lt 1100000000 ]; do
            tail -c +"$((header + 1))" "$src" | head -c -1
            size=$((size + body))
        done
        printf '}'
    } > "$out/bench-1100mb.rtf.part"
    mv "$out/bench-1100mb.rtf.part" "$out/bench-1100mb.rtf"
fi
ls -l "$out"
