# What the server scripts share (sourced): waiting for the server to come up, then
# telling the caller on descriptor $fd and staying until the server ends.

# announce_when_ready PID SECONDS NAME LOG: polls ready() while PID lives, for at most
# SECONDS; once it answers, writes what report() prints to $fd, closes it and waits for
# PID. Gives up with the last lines of LOG.
announce_when_ready() {
  local pid=$1 limit=$2 name=$3 log=$4 waited
  for ((waited = 0; waited < limit * 10; waited++)); do
    kill -0 "$pid" 2>/dev/null || break
    if ready; then
      report >&"$fd"
      exec {fd}>&-
      wait "$pid"
      exit 0
    fi
    sleep 0.1
  done
  echo "$name did not come up within $limit s: $(tail -n 5 "$log")" >&2
  exit 1
}
