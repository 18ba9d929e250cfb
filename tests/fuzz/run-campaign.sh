#!/usr/bin/env bash
# A fuzzing campaign over the libFuzzer targets: builds them with clang, runs each for a given
# time on a scratch copy of its seeds, merges the inputs that reach new code into the seed
# folder under tests/data (which CTest replays), and prints executions, coverage and findings.
#
#   tests/fuzz/run-campaign.sh [-t seconds-per-target] [-j targets-at-once] [-o output] [target...]
#
# Crashes, leaks and timeouts are kept in the output folder (default build-fuzz/campaign) as
# <target>-crash-*, -leak-*, -timeout-*, -oom-*; each target's log is <target>.log. Run it
# under `nice -n 19` on a shared machine.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
seconds=1200
jobs=1
build="$root/build-fuzz"
out=""
while getopts "t:j:o:b:" option; do
    case $option in
    t) seconds=$OPTARG ;;
    j) jobs=$OPTARG ;;
    o) out=$OPTARG ;;
    b) build=$OPTARG ;;
    *) sed -n '2,10p' "$0"; exit 2 ;;
    esac
done
shift $((OPTIND - 1))
out=${out:-$build/campaign}
command -v clang++ >/dev/null || { echo "clang is needed: scripts/install-deps.sh --fuzz" >&2; exit 2; }

# Each target and its seed folder.
declare -A seeds=(
    [fuzz_evaluator]=tests/data/calc
    [fuzz_rtfreader]=tests/data/rtf
    [fuzz_rtf2html]=tests/data/rtf2html
    [fuzz_jpegdecoder]=tests/data/widgets/jpeg
    [fuzz_merge]=tests/data/merge
    [fuzz_informationfile]=tests/data/information
    [fuzz_casetable]=tests/data/casetable
)
declare -A maxlen=([fuzz_rtfreader]=20000 [fuzz_rtf2html]=20000 [fuzz_jpegdecoder]=65536)

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(fuzz_evaluator fuzz_rtfreader fuzz_rtf2html fuzz_jpegdecoder fuzz_merge fuzz_informationfile
        fuzz_casetable)
fi
for target in "${targets[@]}"; do
    [ -n "${seeds[$target]:-}" ] || { echo "unknown target: $target" >&2; exit 2; }
done

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DZARVEL_FUZZ=ON -DZARVEL_BENCH=OFF >/dev/null
cmake --build "$build" -j"$jobs" --target "${targets[@]}"

mkdir -p "$out"
export QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export ASAN_OPTIONS="detect_leaks=1"

run_target() {
    local target=$1
    local seed="$root/${seeds[$target]}"
    local scratch="$out/$target.corpus"
    local options=(-max_total_time="$seconds" -timeout=20 -rss_limit_mb=4096 -print_final_stats=1
        -artifact_prefix="$out/$target-")
    [ -n "${maxlen[$target]:-}" ] && options+=(-max_len="${maxlen[$target]}")
    mkdir -p "$scratch"
    # Runs on after a finding, so that one fault does not end the whole time of a target.
    "$build/bin/$target" "${options[@]}" -fork=1 -ignore_crashes=1 -ignore_timeouts=1 \
        -ignore_ooms=1 "$scratch" "$seed" >"$out/$target.log" 2>&1 || true
    # Only what reaches code that no seed reaches goes into tests/data, into the seed folder's
    # "corpus" folder so that the seeds written by hand stay apart.
    local known="$out/$target.known"
    rm -rf "$known" && mkdir -p "$known"
    find "$seed" -type f -exec cp -t "$known" {} +
    ls "$known" | sort >"$out/$target.before"
    "$build/bin/$target" -merge=1 -use_counters=0 -timeout=20 -rss_limit_mb=4096 \
        -artifact_prefix="$out/$target-merge-" "$known" "$scratch" \
        >"$out/$target.merge.log" 2>&1 || true
    mkdir -p "$seed/corpus"
    ls "$known" | sort | comm -13 "$out/$target.before" - | while read -r file; do
        cp "$known/$file" "$seed/corpus/$file"
    done
    rmdir --ignore-fail-on-non-empty "$seed/corpus"
}

running=0
for target in "${targets[@]}"; do
    run_target "$target" &
    running=$((running + 1))
    if [ "$running" -ge "$jobs" ]; then
        wait -n || true
        running=$((running - 1))
    fi
done
wait

# The last status line of a fork-mode run: "#N: cov: C ft: F corp: K exec/s E
# oom/timeout/crash: O/T/X time: S ...".
printf '%-22s %8s %12s %7s %7s %7s %5s %s\n' target seconds executions cov ft corpus new oom/timeout/crash
for target in "${targets[@]}"; do
    status=$(grep -E '^#[0-9]+: cov:' "$out/$target.log" | tail -1 || true)
    field() { sed -n "s/.*$1 \([^ ]*\).*/\1/p" <<<"$status"; }
    added=$(sed -n 's/MERGE-OUTER: \([0-9]*\) new files.*/\1/p' "$out/$target.merge.log" || true)
    printf '%-22s %8s %12s %7s %7s %7s %5s %s\n' "$target" "$(field ' time:')" \
        "$(sed -n 's/^#\([0-9]*\):.*/\1/p' <<<"$status")" "$(field 'cov:')" "$(field 'ft:')" \
        "$(field 'corp:')" "${added:-0}" "$(field 'oom\/timeout\/crash:')"
done
ls "$out" | grep -E -- '-(crash|leak|timeout|oom|slow-unit)-' || echo "no crash, leak, timeout or out-of-memory input kept"
