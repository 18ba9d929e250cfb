#!/bin/bash
# The CPU time (perf's task-clock) of whole zarvel-cli calls on small files, where starting the
# program is most of the work: what a script that converts or merges one file per call pays
# each time. Finer than startup.sh, whose figures come in steps of ten milliseconds.
#
#   bench/cli/task_clock.sh ZARVEL_CLI [FILE...]
#
# Each command runs RUNS times (21 unless set) on a small file and its median is printed, in
# milliseconds. Then rtf2html converts each FILE once, and text prints each once (without files,
# the .rtf and .tem files of samples/ and tests/data/); the sums are printed. Where unrtf is
# installed, its figures for the same files follow, for comparison. The calls run in a scratch
# folder: unrtf writes the pictures of a file into the current one.
set -eu

cli=$(realpath "$1")
shift
runs=${RUNS:-21}
here=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"

if ! perf stat -x, -e task-clock true >/dev/null 2>&1; then
    echo "perf stat cannot count task-clock here (perf_event_paranoid?)" >&2
    exit 1
fi

# task_clock CMD...: the milliseconds of CPU of one call, whatever its exit status.
task_clock() {
    perf stat -x, -e task-clock -o "$scratch/perf" -- "$@" >/dev/null 2>&1 </dev/null || true
    awk -F, '$3 == "task-clock" { print $1 }' "$scratch/perf"
}

# median LABEL CMD...: the median of RUNS calls.
median() {
    local label=$1
    shift
    for ((run = 0; run < runs; ++run)); do
        task_clock "$@"
    done | sort -g | awk -v label="$label" '{ v[NR] = $1 }
        END { printf "%-34s %8.2f ms\n", label, v[int((NR + 1) / 2)] }'
}

# total LABEL CMD...: the sum over the rich text files, FILE standing for each.
total() {
    local label=$1
    shift
    for file in "${files[@]}"; do
        task_clock "${@//FILE/$file}"
    done | awk -v label="$label" -v n=${#files[@]} '{ sum += $1 }
        END { printf "%-34s %8.2f ms for %d files\n", label, sum, n }'
}

if [ $# -eq 0 ]; then
    mapfile -t files < <(find "$here/samples" "$here/tests/data" -type f \
        \( -iname '*.rtf' -o -iname '*.tem' \) | sort)
else
    files=()
    for file in "$@"; do
        files+=("$(realpath "$file")")
    done
fi
small=$here/samples/form.tem
letter=$here/samples/letter.tem
information=$here/samples/letter-smith.inf

echo "$cli: median task-clock of $runs calls"
median "--version" "$cli" --version
median "eval" "$cli" eval "2*(3+4)/7"
median "rtf2html form.tem" "$cli" rtf2html "$small" out.htm
median "merge letter.tem letter-smith.inf" "$cli" merge "$letter" "$information" -o out.rtf
median "check letter.tem letter-smith.inf" "$cli" check "$letter" "$information"
median "text form.tem" "$cli" text "$small"
if command -v unrtf >/dev/null; then
    median "unrtf --html form.tem" unrtf --html "$small"
    median "unrtf --text form.tem" unrtf --text "$small"
fi
total "rtf2html" "$cli" rtf2html FILE out.htm
total "text" "$cli" text FILE
if command -v unrtf >/dev/null; then
    total "unrtf --html" unrtf --html FILE
    total "unrtf --text" unrtf --text FILE
fi
