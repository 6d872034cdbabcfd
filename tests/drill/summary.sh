#!/bin/sh
# Adds up the drills' tally (one line per drill: name, faults injected,
# files checked, files lost) and prints the closing line; fails when a
# file was lost or no drill reported.
tally=$1
if [ ! -s "$tally" ]; then
  echo "drill summary: no drill reported"
  exit 1
fi
awk '{ drills++; faults += $2; files += $3; lost += $4 }
     END { printf "drill summary: %d drills run, %d faults injected, %d files checked, %d files lost\n", drills, faults, files, lost
           exit (lost > 0) }' "$tally"
