#!/usr/bin/env bash
# tools/wine-exec against a stand-in for wine: a start that Wine's loader
# gives up (the shared user data's address taken) is made again, at most
# three starts in all, and said in the log; any other failure, and a
# failure once the program has run, are left to the caller.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build=$work/build/tree
mkdir -p "$build/wineprefix" "$work/bin"
touch "$build/wineprefix/.vombly-ready"
echo ":99" > "$build/wine-session.display"

# The stand-in plays the script in $work/plan, one line per start:
#   nomap   the loader's failure: its line on stderr, exit 1
#   ran N   a test program that ran and ended with code N
#   late    a program that ran, then failed with the loader's words in its output
cat > "$work/bin/wine" <<'STANDIN'
#!/usr/bin/env bash
n=$(cat "$WORK/starts" 2>/dev/null || echo 0); n=$((n + 1)); echo "$n" > "$WORK/starts"
step=$(sed -n "${n}p" "$WORK/plan"); step=${step:-ran 0}
case $step in
  nomap) echo "wine: failed to map the shared user data: c0000018" >&2; exit 1 ;;
  late) echo "[==========] Running 1 test from 1 test suite."
        echo "wine: failed to map the shared user data: c0000018"; exit 1 ;;
  ran*) echo "[==========] Running 1 test from 1 test suite."
        echo "[==========] 1 test from 1 test suite ran. (1 ms total)"; exit "${step#ran }" ;;
esac
STANDIN
chmod +x "$work/bin/wine"
export WORK=$work PATH="$work/bin:$PATH"
unset WINEPREFIX

failures=0
# plan | wine-exec's option | the program's arguments | exit code | starts |
# "again" lines in the log
while IFS='|' read -r plan args program code starts agains; do
  printf '%b' "$plan" > "$work/plan"
  rm -f "$work/starts"
  # shellcheck disable=SC2086
  "$root/tools/wine-exec" $args "$build" test.exe $program > "$work/out" 2> "$work/err"
  got=$?
  made=$(cat "$work/starts")
  again=$(grep -c 'Wine could not start test.exe (wine: failed to map the shared user data: c0000018); starting it again' "$work/err")
  if [ "$got" != "$code" ] || [ "$made" != "$starts" ] || [ "$again" != "$agains" ]; then
    echo "FAILED: plan '$plan' $args $program: exit $got (want $code), starts $made (want $starts), retries told $again (want $agains)"
    sed 's/^/  | /' "$work/err"
    failures=$((failures + 1))
  fi
done <<'CASES'
ran 0\n| |--gtest_filter=A.B|0|1|0
nomap\nran 0\n| |--gtest_filter=A.B|0|2|1
nomap\nnomap\nran 0\n| |--gtest_filter=A.B|0|3|2
nomap\nnomap\nnomap\nran 0\n| |--gtest_filter=A.B|1|3|2
ran 3\n| |--gtest_filter=A.B|3|1|0
late\n| |--gtest_filter=A.B|1|1|0
nomap\nran 0\n| |stop|0|2|1
nomap\nran 1\nran 0\n|--retry-once|--gtest_filter=A.B|0|3|1
CASES
[ "$failures" = 0 ] && echo "wine-exec: every case passed"
exit "$failures"
