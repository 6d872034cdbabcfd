#!/bin/sh
# Two sessions of Windows on one data folder. The first session is this
# tree's Wine session; the second is a prefix of its own with its own Wine
# server and X display (what one session of Windows cannot see of another),
# its %APPDATA%\Vombly a link to the first one's data folder. The drill exe
# runs in each in turn (two_sessions_test.cpp); the turns pass by marker
# files, each bounded in time, and the second session is stopped at the end.
# Usage: two-sessions.sh <tools folder> <tree's build folder> <vombly_drill.exe>
tools=$1
build=$2
exe=$3
second=$build/second-session
markers=$build/two-sessions
fail() { echo "two-sessions drill: $*"; exit 1; }

# Where the tree's session found no 32-bit support, skipped as its tests are.
if [ -f "$build/no-32-bit" ]; then echo "skipped: $(cat "$build/no-32-bit")"; exit 77; fi
# Each tree's second session is a prefix of the tree's own kind.
mkdir -p "$second" || exit 1
if [ -f "$build/wine-prefix.kind" ]; then cp "$build/wine-prefix.kind" "$second/"; fi
unset WINEPREFIX
first_pid=
link=
cleanup() {
  if [ -n "$first_pid" ]; then kill "$first_pid" 2>/dev/null; wait "$first_pid" 2>/dev/null; fi
  if [ -n "$link" ] && [ -L "$link" ]; then rm -f "$link"; fi
  "$tools/wine-session" stop "$second"
  rm -rf "$markers"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP
env -u DISPLAY VOMBLY_XVFB=1 "$tools/wine-session" start "$second" >/dev/null ||
  fail "the second session's Wine prefix could not be started"

# The data folders' unix paths; the second session's becomes the first's.
data_folder() {
  timeout 120 "$tools/wine-exec" "$1" "$exe" --data-folder </dev/null 2>/dev/null | tr -d '\r' | tail -n 1
}
first_folder=$(data_folder "$build")
link=$(data_folder "$second")
case $first_folder in /*) ;; *) fail "the first session's data folder is unknown" ;; esac
case $link in /*) ;; *) link=; fail "the second session's data folder is unknown" ;; esac
rm -rf "$link" && mkdir -p "$(dirname "$link")" && ln -s "$first_folder" "$link" ||
  fail "the second session's data folder could not be linked to the first one's"

rm -rf "$markers" && mkdir -p "$markers" || exit 1
export VOMBLY_TWO_SESSIONS="$markers"
# Waits up to 300 s for a marker of the first session, or for its end.
wait_for_first() {
  n=0
  while [ ! -f "$markers/$1" ] && kill -0 "$first_pid" 2>/dev/null && [ $n -lt 1500 ]; do
    sleep 0.2; n=$((n + 1))
  done
  [ -f "$markers/$1" ]
}
second_step() {
  timeout 200 "$tools/wine-exec" "$second" "$exe" --gtest_filter="SecondSession.$1" </dev/null
  echo $? > "$markers/$2"
}

timeout 600 "$tools/wine-exec" "$build" "$exe" \
  --gtest_filter=TwoSessions.FirstSessionKeepsItsEntriesWhileASecondOneStarts </dev/null &
first_pid=$!
wait_for_first first-ready || fail "the first session's Vombly did not get ready"
second_step StartOnAHeldFolderSaysSoAndChangesNothing second-refused
wait_for_first first-ended || fail "the first session's Vombly did not end"
second_step StartsOnceTheFirstHasEnded second-started
wait "$first_pid"
status=$?
first_pid=
[ "$status" = 0 ] && [ "$(cat "$markers/second-refused")" = 0 ] && [ "$(cat "$markers/second-started")" = 0 ]
