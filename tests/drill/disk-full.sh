#!/bin/sh
# Runs the full-disk drills with the data folder on a tmpfs of its own, so
# the disk really fills; mounted and unmounted here (needs root).
# Usage: disk-full.sh <gtest filter> <vombly_drill.exe> <emulator and its arguments>
filter=$1
exe=$2
shift 2
folder=$("$@" "$exe" --data-folder </dev/null 2>/dev/null | tr -d '\r' | tail -n 1)
case $folder in
  /*) ;;
  *) echo "disk-full drill: the data folder's unix path is unknown"; exit 1 ;;
esac
rm -rf "$folder" && mkdir -p "$folder" || exit 1
if ! mount -t tmpfs -o size=96k tmpfs "$folder"; then
  echo "disk-full drill: cannot mount a tmpfs on $folder (the drill needs root)"
  exit 1
fi
VOMBLY_SMALL_DISK=1 "$@" "$exe" --gtest_filter="$filter" </dev/null
status=$?
umount "$folder" 2>/dev/null || umount -l "$folder"
rmdir "$folder" 2>/dev/null
exit $status
