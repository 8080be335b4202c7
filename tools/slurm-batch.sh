#!/bin/bash
# Converts many files as a Slurm job array: one array task per file, each
# running "tellavox-export --out-dir" on its own file, then one gathering
# job that moves every output into OUTDIR (the next free name when two
# inputs share a name), writes all JSON lines to OUTDIR/results.jsonl and
# a one-line summary to OUTDIR/summary.txt. Waits for the end, prints the
# summary and exits as tellavox-export does: 0 all checked, 3 warnings,
# 1 any failed.
#   tools/slurm-batch.sh OUTDIR [tellavox-export options] -- FILE...
# OUTDIR and the files must be seen alike by every node (a shared file
# system). TELLAVOX_EXPORT names the program (default: the build folder's,
# else the one on the PATH); SBATCH_OPTIONS adds options to both sbatch
# calls (a partition, an account, a time limit).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
self="$here/$(basename "$0")"

task() {
  local out=$1 id=$SLURM_ARRAY_TASK_ID files options
  mapfile -d '' files < "$out/.tasks/files"
  mapfile -d '' options < "$out/.tasks/options"
  mkdir -p "$out/.tasks/$id"
  exec "$(cat "$out/.tasks/program")" --out-dir "$out/.tasks/$id" "${options[@]}" "${files[$id]}" \
    > "$out/.tasks/$id.json"
}

# Python reads and writes the JSON lines; a task that left no line failed.
gather() {
  python3 - "$1" <<'PY'
import json, os, sys, time
out = sys.argv[1]
tasks = os.path.join(out, ".tasks")
files = open(os.path.join(tasks, "files"), "rb").read().split(b"\0")[:-1]

def free_name(path):
    stem, ext = os.path.splitext(path)
    n = 0
    while os.path.lexists(path):
        n += 1
        path = "%s (%d)%s" % (stem, n, ext)
    return path

counts = {"checked": 0, "warnings": 0, "failed": 0}
seconds = 0.0
with open(os.path.join(out, "results.jsonl"), "w", encoding="utf-8") as results:
    for i, name in enumerate(files):
        try:
            line = json.loads(open(os.path.join(tasks, "%d.json" % i), encoding="utf-8").readline())
        except (OSError, ValueError):
            line = {"input": os.fsdecode(name), "output": "", "result": "failed",
                    "detail": "The task ended without a result; see %s/%d.log." % (tasks, i), "seconds": 0}
        if line["output"] and os.path.exists(line["output"]):
            target = free_name(os.path.join(out, os.path.basename(line["output"])))
            os.rename(line["output"], target)
            line["output"] = target
        counts[line["result"]] += 1
        seconds += line["seconds"]
        results.write(json.dumps(line, ensure_ascii=False) + "\n")
took = time.time() - float(open(os.path.join(tasks, "submitted")).read())
summary = "%d files: %d checked, %d warnings, %d failed; %.1f s of conversion, %.1f s from submission to end" % (
    len(files), counts["checked"], counts["warnings"], counts["failed"], seconds, took)
open(os.path.join(out, "summary.txt"), "w").write(summary + "\n")
PY
}

submit() {
  local out=$1 options=() files=()
  shift
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do options+=("$1"); shift; done
  [ $# -gt 1 ] || { echo "Usage: $0 OUTDIR [options] -- FILE..." >&2; exit 2; }
  shift
  files=("$@")
  local program=${TELLAVOX_EXPORT:-$here/../build/tools/tellavox-export}
  [ -x "$program" ] || program=$(command -v tellavox-export)
  mkdir -p "$out/.tasks"
  out=$(cd "$out" && pwd)
  local file
  for file in "${files[@]}"; do
    case $file in /*) ;; *) file="$PWD/$file" ;; esac
    printf '%s\0' "$file"
  done > "$out/.tasks/files"
  printf '%s\0' ${options[@]+"${options[@]}"} > "$out/.tasks/options"
  echo "$program" > "$out/.tasks/program"
  date +%s.%N > "$out/.tasks/submitted"
  local array
  # shellcheck disable=SC2086
  array=$(sbatch --parsable ${SBATCH_OPTIONS:-} --job-name=tellavox --cpus-per-task=1 \
    --array=0-$((${#files[@]} - 1)) --output="$out/.tasks/%a.log" "$self" --task "$out")
  # shellcheck disable=SC2086
  sbatch --parsable --wait ${SBATCH_OPTIONS:-} --job-name=tellavox-gather --dependency=afterany:"$array" \
    --output="$out/.tasks/gather.log" "$self" --gather "$out" > /dev/null
  cat "$out/summary.txt"
  if grep -q '"result": "failed"' "$out/results.jsonl"; then exit 1; fi
  if grep -q '"result": "warnings"' "$out/results.jsonl"; then exit 3; fi
}

case ${1:-} in
--task) task "$2" ;;
--gather) gather "$2" ;;
*) submit "$@" ;;
esac
