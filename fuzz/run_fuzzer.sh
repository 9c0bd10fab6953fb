#!/usr/bin/env bash
# Runs the movie fuzzer for a bounded time on a seed corpus of small movies made by ffmpeg.
# Usage: run_fuzzer.sh FUZZER WORK_FOLDER SECONDS
set -euo pipefail
fuzzer=$1 work=$2 seconds=$3
seeds=$work/seeds corpus=$work/corpus
mkdir -p "$seeds" "$corpus"
make_seed() {
    local name=$1
    shift
    if [ ! -s "$seeds/$name" ] && ffmpeg -v error -y "$@" "$seeds/$name.tmp.mov"; then
        mv -f "$seeds/$name.tmp.mov" "$seeds/$name"
    fi
}
make_seed h264_aac -f lavfi -i testsrc=size=32x24:rate=10:duration=0.5 -f lavfi \
    -i sine=duration=0.5:sample_rate=8000 -c:v libx264 -preset ultrafast -c:a aac \
    -movflags +faststart
make_seed qtrle_ima -f lavfi -i testsrc=size=16x16:rate=5:duration=0.4 -f lavfi \
    -i sine=duration=0.4:sample_rate=8000 -c:v qtrle -c:a adpcm_ima_qt
make_seed pal8 -f lavfi -i testsrc=size=16x16:rate=5:duration=0.4 -c:v rawvideo -pix_fmt pal8
export TMPDIR=$work
exec "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
    -print_final_stats=1 "$corpus" "$seeds"
