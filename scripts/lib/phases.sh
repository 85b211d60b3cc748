# shellcheck shell=bash
# Sourced by .ci/run and scripts/test: `phase NAME COMMAND...` runs COMMAND
# and notes how long it took in $KT_PHASE_LOG, when that names a file, so
# that .ci/run can print every phase's time at the end, its own and those of
# the scripts it calls. `phase_report SECONDS` prints them and the total.

phase() {
  local name=$1 start=$SECONDS status=0
  shift
  "$@" || status=$?
  if [ -n "${KT_PHASE_LOG:-}" ]; then
    printf '%s\t%s\n' "$((SECONDS - start))" "$name" >>"$KT_PHASE_LOG"
  fi
  return "$status"
}

phase_report() {
  local seconds name
  echo "== phases"
  while IFS=$'\t' read -r seconds name; do
    printf '  %-24s %3d:%02d\n' "$name" $((seconds / 60)) $((seconds % 60))
  done <"${KT_PHASE_LOG:-/dev/null}"
  printf '  %-24s %3d:%02d\n' "total" $(($1 / 60)) $(($1 % 60))
}
