#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 The Quillvane authors
# quillvane-cli as scripts use it: no display library, the exit statuses and
# their messages, folders, and a stop by signal that leaves no file and no
# process behind (a stand-in ffmpeg that hangs with a child of its own).
#   test_cli.sh BUILD_DIR
set -eu
cli=$1/bin/quillvane-cli
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

ldd "$cli" >"$scratch/ldd"
grep -q 'libQt5Core' "$scratch/ldd" || fail "ldd lists no libQt5Core"
! grep -Eq 'libQt5(Gui|Widgets)' "$scratch/ldd" || fail "loads a display library: $(grep libQt5 "$scratch/ldd")"

cd "$scratch"
ffmpeg -v error -f lavfi -i sine=duration=2 -y "in 中文.wav"
printf 'no audio here' >bad.wav
mkdir -p deep/sub && cp "in 中文.wav" deep/sub/x.wav && : >deep/notes.txt

# arguments | exit status | what standard error says
while IFS='|' read -r args want says; do
    set +e
    eval "\"\$cli\" $args" >out 2>err
    got=$?
    set -e
    [ "$got" = "$want" ] || fail "'$args' exits $got, not $want: $(cat err)"
    grep -qF -- "$says" err || fail "'$args': standard error lacks '$says': $(cat err)"
done <<'ROWS'
|2|no command given
transcode x.wav|2|unknown command 'transcode'
convert --bogus x.wav|2|Unknown option 'bogus'
convert --to wma x.wav|2|--to takes mp3|aac|flac|wav|amr|opus|ogg|m4a
convert --quality mp3=999k x.wav|2|--quality takes FORMAT=VALUE
speed --rate 12345 x.wav|2|--rate takes keep or one of
mix --channels 6 x.wav|2|--channels takes keep, 1 or 2
speed --factor 1.3 x.wav|2|--factor takes one of
volume --mode +6dB x.wav|2|--mode takes
trim --start 5 --end 0:05 x.wav|2|the end time must be after the start time
split x.wav|2|split takes one of --every, --parts and --silence
split --parts 2 --silence x.wav|2|split takes one of --every, --parts and --silence
split --every 5 --threshold -30 x.wav|2|--threshold and --min-silence go with --silence
split --silence --min-silence 0 x.wav|2|--min-silence takes 0.1 to 60 seconds
split --parts 1 x.wav|2|--parts takes a number from 2 to 100
convert -j 0 x.wav|2|--jobs needs a number
convert|2|no files given
convert missing.wav|2|not a file or folder: missing.wav
convert deep|2|no media files
convert --to wav -o failed bad.wav|1|bad.wav: 
trim --name 'a/{name}' x.wav|2|--name: A name cannot hold "/"
convert --name '{bogus}' x.wav|2|Unknown placeholder
volume --on-collision replace x.wav|2|--on-collision takes number|skip
convert --keep-tree deep|2|--keep-tree goes with --recursive
ROWS
[ -z "$(ls -A failed)" ] || fail "a failed job left $(ls -A failed)"

# Piped: results on standard output, no progress drawing; -r takes sub-folders.
"$cli" convert --to flac -r -o found deep "in 中文.wav" >out 2>err || fail "convert -r: $(cat err)"
# Two jobs at once: the paths come in the order the jobs end.
[ "$(sort out)" = "$(printf '%s\n' "$scratch/found/x.flac" "$scratch/found/in 中文.flac" | sort)" ] ||
    fail "results: $(cat out)"
! grep -q "$(printf '\033')" err || fail "progress drawn into a pipe"

# Files are taken as the run goes: far more than the queue holds all end, in their numbers.
mkdir many && for i in 1 2 3 4 5 6 7 8 9 10 11 12; do ln -s "../in 中文.wav" "many/$i.wav"; done
"$cli" convert --json -j 1 --to wav -o manyout many >events 2>err || fail "many: $(cat err)"
[ "$(grep '"event":"end"' events | grep -c '"status":"succeeded"')" = 12 ] || fail "many: $(cat events)"
[ "$(sed -n 's/.*"event":"end".*"job":\([0-9]*\).*/\1/p' events | tr '\n' ' ')" = "1 2 3 4 5 6 7 8 9 10 11 12 " ] ||
    fail "many, order: $(cat events)"
# It looks a few files ahead, not at all of them: the files removed while the
# first job is held were never probed, so they are refused, not converted.
mkdir ahead holding && cp "$cli" holding/
for i in $(seq 100); do ln -s "../in 中文.wav" "ahead/$i.wav"; done
cat >holding/ffmpeg <<STANDIN
#!/bin/sh
for out; do :; done
[ -e "$scratch/held" ] || { : >"$scratch/held"; until [ -e "$scratch/release" ]; do sleep 0.05; done; }
cp "$scratch/in 中文.wav" "\$out"
STANDIN
chmod +x holding/ffmpeg
QUILLVANE_NO_WORKER=1 holding/quillvane-cli convert --json -j 1 --to wav -o aheadout ahead >events 2>err &
tries=0
until [ -e held ]; do tries=$((tries + 1)); [ $tries -lt 1200 ] || fail "ahead: no job started"; sleep 0.1; done
rm ahead/*.wav && : >release && wait $! || true
converted=$(grep -c '"status":"succeeded"' events || true)
[ "$converted" -ge 1 ] && [ "$converted" -le 10 ] || fail "ahead: $converted of 100 probed ahead: $(cat err)"
# Names: a pattern with the input's tags and the tool's option, numbered;
# then skipped, which writes nothing, keeps the file and is no failure.
ffmpeg -v error -f lavfi -i sine=d=1 -metadata artist=Ann -metadata title=Song -y tagged.wav
for run in 1 2; do
    "$cli" volume --mode +5dB --name '{artist} - {title}{tool}{n}.{ext}' -o named tagged.wav >out 2>err ||
        fail "volume --name: $(cat err)"
done
[ "$(ls named)" = "$(printf 'Ann - Song+5dB (0).wav\nAnn - Song+5dB.wav')" ] || fail "named: $(ls named)"
sum=$(cat named/* | md5sum)
"$cli" volume --mode +5dB --name '{artist} - {title}{tool}' --on-collision skip --json -o named tagged.wav \
    >out 2>err || fail "skip counted as a failure: $(cat err)"
grep -qF '"reason":"Skipped: Ann - Song+5dB.wav exists.","status":"skipped"' out || fail "skip: $(cat out)"
[ "$(ls named | wc -l)" = 2 ] && [ "$(cat named/* | md5sum)" = "$sum" ] || fail "skip wrote: $(ls named)"
# A two-level tree kept under the output folder.
mkdir -p tree/a/b && cp tagged.wav tree/top.wav && cp tagged.wav tree/a/one.wav && cp tagged.wav tree/a/b/two.wav
"$cli" reverse -r --keep-tree -o mirrored tree >out 2>err || fail "--keep-tree: $(cat err)"
[ "$(cd mirrored && find . -type f | sort)" = "$(printf './a/b/two.wav\n./a/one.wav\n./top.wav')" ] ||
    fail "tree: $(cd mirrored && find .)"

# Split at silences: the cut falls inside the quiet second, the pieces add up.
ffmpeg -v error -f lavfi -i sine=f=440:d=2.3 -f lavfi -i anullsrc=r=44100:cl=mono:d=1.2 \
    -f lavfi -i sine=f=660:d=2.1 -filter_complex '[0][1][2]concat=n=3:v=0:a=1' -ar 44100 -y gap.wav
"$cli" split --silence -o pieces gap.wav >out 2>err || fail "split --silence: $(cat err)"
lengths=$(for f in pieces/gap-split-1.wav pieces/gap-split-2.wav; do
    ffprobe -v error -show_entries format=duration -of csv=p=0 "$f"; done)
echo "$lengths" | awk 'NR==1 && ($1 < 2.3 || $1 > 3.5) { exit 1 } { sum += $1 }
    END { exit !(NR == 2 && sum > 5.58 && sum < 5.62) }' || fail "silence pieces: $lengths"

# Every piece of a split is named: in the JSON end line's outputs (output: the last), also
# those cut before a later piece failed, and piped, one path a line.
ffmpeg -v error -f lavfi -i sine=duration=5 -y long.wav
mkdir failsplit && cp "$cli" failsplit/
printf '#!/bin/sh\necho run >>"$0.runs"\n[ "$(wc -l <"$0.runs")" = 3 ] && exit 1\nexec ffmpeg "$@"\n' >failsplit/ffmpeg
chmod +x failsplit/ffmpeg
for run in "$cli:parts:succeeded:4" "failsplit/quillvane-cli:failed:failed:2"; do
    IFS=: read -r prog folder status count <<EOF_RUN
$run
EOF_RUN
    "$prog" split --parts 4 --json -o "$folder" long.wav >events 2>err || [ "$status" = failed ] || fail "split: $(cat err)"
    python3 - "$scratch/$folder" "$status" "$count" events <<'PY' || fail "split end line: $(cat events)"
import json, os, sys
folder, status, count, events = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4]
end = [e for e in map(json.loads, open(events)) if e["event"] == "end"][0]
on_disk = [os.path.join(folder, f) for f in sorted(os.listdir(folder))]
last = end["outputs"][-1] if status == "succeeded" else ""
assert end["status"] == status and len(on_disk) == count and end["outputs"] == on_disk and end["output"] == last
PY
done
"$cli" split --parts 4 -o piped long.wav >out 2>err || fail "split piped: $(cat err)"
[ "$(cat out)" = "$(for f in piped/*; do echo "$scratch/$f"; done)" ] || fail "piped split: $(cat out)"

# Stopped by SIGINT or SIGTERM: exit 128+signal, both running jobs end
# stopped, no part file stays, no process of the stand-in lives on.
mkdir standin && cp "$cli" standin/
cat >standin/ffmpeg <<STANDIN
#!/bin/sh
for out; do :; done
echo unfinished >"\$out"
sleep 600 &
echo \$\$ \$! >>"$scratch/pids"
wait
STANDIN
chmod +x standin/ffmpeg
alive() { [ -d "/proc/$1" ] && ! grep -q '^[^)]*) Z' "/proc/$1/stat" 2>/dev/null; }
for signal in INT:130 TERM:143; do
    : >pids
    # The stand-in plays the ffmpeg child, which the resident converter would replace.
    QUILLVANE_NO_WORKER=1 standin/quillvane-cli convert --json -j 2 -o stopped "in 中文.wav" bad.wav "in 中文.wav" >events 2>/dev/null &
    pid=$!
    tries=0
    until [ "$(wc -l <pids)" -ge 2 ]; do
        tries=$((tries + 1))
        [ $tries -lt 1200 ] || fail "the stand-ins never started"
        sleep 0.1
    done
    kill -"${signal%:*}" $pid
    status=0
    wait $pid || status=$?
    [ $status = "${signal#*:}" ] || fail "SIG${signal%:*}: exit $status"
    [ "$(grep -c '"status":"stopped"' events)" = 2 ] || fail "SIG${signal%:*}: $(cat events)"
    [ -z "$(ls -A stopped)" ] || fail "SIG${signal%:*} left $(ls -A stopped)"
    for p in $(cat pids); do
        ! alive "$p" || fail "SIG${signal%:*} left process $p"
    done
done
echo "cli: no display library, usage and failure statuses, folders, stops by signal clean"
