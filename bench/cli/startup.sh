#!/bin/bash
# Whole-process timings of zarvel-cli commands on small files, where start-up is most of the
# work: a service that merges one letter or converts one file per call pays it every time.
#
#   bench/cli/startup.sh ZARVEL_CLI [FILE...]
#
# Without files, the rich text files of samples/ and tests/data/ are used. Each command runs
# once per file, ROUNDS times over (5 unless set). The figures are per call: elapsed and CPU
# (user + system) milliseconds, and the largest resident memory of a call. A call that fails
# (some test files are refused on purpose) counts as well.
set -eu

cli=$(realpath "$1")
shift
here=$(cd "$(dirname "$0")/../.." && pwd)
rounds=${ROUNDS:-5}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

if [ $# -eq 0 ]; then
    mapfile -t files < <(find "$here/samples" "$here/tests/data" -type f \
        \( -iname '*.rtf' -o -iname '*.tem' \) -size -256k | sort)
else
    files=("$@")
fi
information=$here/samples/letter-smith.inf

# measure LABEL ARG...: runs zarvel-cli with the arguments for every file, FILE standing for it.
measure() {
    local label=$1
    shift
    : >"$scratch/times"
    local start end
    start=$(date +%s%N)
    for ((round = 0; round < rounds; ++round)); do
        for file in "${files[@]}"; do
            /usr/bin/time -a -o "$scratch/times" -f '%M %U %S' "$cli" "${@//FILE/$file}" \
                >/dev/null 2>&1 || true
        done
    done
    end=$(date +%s%N)
    awk -v label="$label" -v calls=$((rounds * ${#files[@]})) -v us=$(((end - start) / 1000)) '
        NF == 3 && $1 ~ /^[0-9]+$/ { cpu += $2 + $3; if ($1 > peak) peak = $1 }
        END { printf "%-9s %5d calls %8.2f ms elapsed %8.2f ms CPU %8d KiB peak\n",
                     label, calls, us / 1000 / calls, cpu * 1000 / calls, peak }' "$scratch/times"
}

echo "$cli: ${#files[@]} files, $rounds rounds, figures per call"
measure rtf2html rtf2html FILE "$scratch/out.htm"
measure text text FILE
measure eval eval "2*(3+4)/7"
measure merge merge FILE "$information" -o "$scratch/out.rtf"
measure check check FILE "$information"
