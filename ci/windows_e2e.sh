#!/usr/bin/env bash
# Whole runs of slipreport.exe under Wine beside the Linux build, in twin
# folders set up alike. The Windows report must be the Linux one with every LF
# written as CR LF, its standard error the Linux text with CR LF (where the
# first line carries the system's own text for an error number, its first word
# and the lines after it), and its exit status 0 where Linux gives 0, 1 where
# Linux gives 1 and 3 where Linux aborts (134 from the shell).
#
#   ci/windows_e2e.sh LINUX_TOOL WINDOWS_EXE [MAKE_MODEL_EXE [LINUX_SLIPMAP SLIPMAP_EXE]]
#
# With the slipmap pair, slipmap.exe draws the example's report under Wine
# and its SVG must equal the Linux one byte for byte.
#
# WINEPREFIX and WINEDEBUG come from the caller (ci/windows.sh). The read-only
# report is checked as the unprivileged user nobody, on both builds, since
# root may write a read-only file (Wine too); that user gets its own prefix.
set -euo pipefail
linux=$(realpath "$1")
exe=$(realpath "$2")
make_model=${3:+$(realpath "$3")}
# slipcheck beside each build's slipreport
check_linux=$(dirname "$linux")/slipcheck
check_exe=$(dirname "$exe")/slipcheck.exe
# and slipsource
source_linux=$(dirname "$linux")/slipsource
source_exe=$(dirname "$exe")/slipsource.exe
linux_map=${4:+$(realpath "$4")}
map_exe=${5:+$(realpath "$5")}
root=$(cd "$(dirname "$0")/.." && pwd)
model=$root/examples/rateA.dat
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
wineserver=/usr/lib/wine/wineserver
[ -x "$wineserver" ] || wineserver=$(command -v wineserver)

scratch=$(mktemp -d /tmp/slipreport-win-e2e.XXXXXX)
chmod 755 "$scratch"
# Copies that the unprivileged user can reach wherever the build folders are.
cp "$exe" "$scratch/slipreport.exe"
exe=$scratch/slipreport.exe
cp "$linux" "$scratch/slipreport"
linux=$scratch/slipreport
nobody_home=$scratch/nobody
as_nobody=(setpriv --reuid=65534 --regid=65534 --clear-groups env HOME="$nobody_home" WINEPREFIX="$nobody_home/wine")
cleanup() {
  if [ -d "$nobody_home/wine" ]; then "${as_nobody[@]}" "$wineserver" -k > /dev/null 2>&1 || true; fi
  rm -rf "$scratch"
}
trap cleanup EXIT

passed=0
failed=0
case_ok=1
fail() {
  echo "FAIL $name: $*"
  case_ok=0
}
finish() {
  if [ $case_ok = 1 ]; then
    echo "ok   $name"
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
  fi
}

crlf() { perl -pe 's/\n/\r\n/g' "$@"; }

# prepare NAME FUNCTION: makes the twin folders NAME.linux and NAME.win and
# lets FUNCTION fill each one alike.
prepare() {
  name=$1
  case_ok=1
  for side in linux win; do
    mkdir -p "$scratch/$name.$side"
    "$2" "$scratch/$name.$side"
  done
}

# run SIDE [nobody]: runs one build in its folder of the current case; the
# standard error goes to FOLDER.err, the exit status to FOLDER.status.
run() {
  local dir=$scratch/$name.$1
  local status=0
  local -a user=()
  if [ "${2:-}" = nobody ]; then user=("${as_nobody[@]}"); fi
  local -a tool=("$linux")
  if [ "$1" = win ]; then tool=("$wine" "$exe"); fi
  # The subshell, not this script, sees an abort (and says so to /dev/null).
  (cd "$dir" && "${user[@]}" "${tool[@]}" < /dev/null > "$dir.out" 2> "$dir.err") 2> /dev/null || status=$?
  echo "$status" > "$dir.status"
}

# check LINUX_STATUS WINDOWS_STATUS ERRORS REPORT
#   ERRORS: exact (every byte) or system (first word, then every byte of the rest)
#   REPORT: new (the Windows report is the Linux one in CR LF, 89706 bytes),
#           none (neither build made one) or a file that both reports still equal
check() {
  local l=$scratch/$name.linux w=$scratch/$name.win
  [ "$(cat "$l.status")" = "$1" ] || fail "Linux exit status $(cat "$l.status"), expected $1"
  [ "$(cat "$w.status")" = "$2" ] || fail "Windows exit status $(cat "$w.status"), expected $2"
  [ ! -s "$l.out" ] && [ ! -s "$w.out" ] || fail "something was written to standard output"
  if [ "$3" = exact ]; then
    crlf "$l.err" | cmp -s - "$w.err" || fail "standard error differs: $(od -c "$w.err" | head -3)"
  else
    [ "$(head -n 1 "$l.err" | cut -d ' ' -f 1)" = "$(head -n 1 "$w.err" | cut -d ' ' -f 1)" ] ||
      fail "first word of standard error differs: $(head -n 1 "$w.err")"
    head -n 1 "$w.err" | grep -q $'\r$' || fail "first line of standard error does not end in CR LF"
    cmp -s <(tail -n +2 "$l.err" | crlf) <(tail -n +2 "$w.err") || fail "standard error differs after its first line"
  fi
  case $4 in
    new)
      [ -f "$l/rateA-out4.csv" ] && [ -f "$w/rateA-out4.csv" ] || { fail "a report is missing"; return; }
      [ "$(stat -c %s "$w/rateA-out4.csv")" = 89706 ] || fail "Windows report is $(stat -c %s "$w/rateA-out4.csv") bytes"
      crlf "$l/rateA-out4.csv" | cmp -s - "$w/rateA-out4.csv" || fail "reports differ beyond line ends"
      ;;
    none)
      [ ! -e "$l/rateA-out4.csv" ] && [ ! -e "$w/rateA-out4.csv" ] || fail "a report was created"
      ;;
    *)
      cmp -s "$4" "$l/rateA-out4.csv" || fail "Linux changed the old report"
      cmp -s "$4" "$w/rateA-out4.csv" || fail "Windows changed the old report"
      ;;
  esac
}

both() {
  run linux "$@"
  run win "$@"
}

printf 'an older report\nof two records\n' > "$scratch/old-report"
head -c 300000 /dev/zero | tr '\0' 'x' > "$scratch/long-report"

echo "== windows e2e: slipreport.exe under Wine against $linux"

with_model() { cp "$model" "$1/rateA.dat"; }
prepare example with_model
both
check 0 0 exact new
finish
linux_report=$scratch/example.linux/rateA-out4.csv

# Saved by a Windows editor: CR LF line ends, a Ctrl-Z, and text after it
# that must never be read.
windows_model() { { crlf "$model"; printf '\032not a model\r\n'; } > "$1/rateA.dat"; }
prepare windows-text windows_model
both
check 0 0 exact new
cmp -s "$linux_report" "$scratch/windows-text.linux/rateA-out4.csv" || fail "Linux reads the Windows model differently"
finish

longer_report() { with_model "$1"; cp "$scratch/long-report" "$1/rateA-out4.csv"; }
prepare longer-report longer_report
both
check 0 0 exact new
finish

old_report_only() { cp "$scratch/old-report" "$1/rateA-out4.csv"; }
prepare missing-model old_report_only
both
check 134 3 system "$scratch/old-report"
finish

malformed_model() { sed '1000s/^ *[^ ]*/ 1.2x/' "$model" > "$1/rateA.dat"; }
prepare malformed-value malformed_model
both
check 134 3 exact none
grep -q '^invalid number: ' "$scratch/malformed-value.linux.err" || fail "not an invalid number"
finish

short_model() { head -c 200000 "$model" > "$1/rateA.dat"; }
prepare short-file short_model
both
check 134 3 exact none
grep -q '^list in: end of file' "$scratch/short-file.linux.err" || fail "not an end of file"
finish

mkdir -p "$nobody_home"
chown 65534:65534 "$nobody_home"
"${as_nobody[@]}" "$wine" wineboot --init > "$scratch/wineboot-nobody.log" 2>&1 < /dev/null || true
"${as_nobody[@]}" "$wineserver" -w
"${as_nobody[@]}" "$wineserver" -p > /dev/null 2>&1 < /dev/null
"${as_nobody[@]}" "$wine" wineboot > /dev/null 2>&1 < /dev/null || true
read_only_report() {
  with_model "$1"
  cp "$scratch/old-report" "$1/rateA-out4.csv"
  chmod 444 "$1/rateA-out4.csv"
}
prepare read-only-report read_only_report
both nobody
check 134 3 exact "$scratch/old-report"
grep -q "^list output start: can't write file" "$scratch/read-only-report.linux.err" || fail "not a failed first write"
finish

# An interrupt while the model is read (200 MB of blank lines before it keep
# the reader busy for a few tenths of a second): Ctrl-C reaches the handler
# on a thread of its own, which ends the run with status 1, the old report
# untouched.
name=interrupt
case_ok=1
dir=$scratch/$name.win
mkdir -p "$dir"
{ head -c 200000000 /dev/zero | tr '\0' '\n'; cat "$model"; } > "$dir/rateA.dat"
cp "$scratch/old-report" "$dir/rateA-out4.csv"
# A background job of a script starts with SIGINT ignored, and Wine keeps it so.
(cd "$dir" && exec env --default-signal=INT "$wine" "$exe") < /dev/null > "$dir.out" 2> "$dir.err" &
pid=$!
opened=
for _ in $(seq 1 2000); do
  opened=$(find "/proc/$pid/fd" -lname "$dir/rateA.dat" -print -quit 2> /dev/null || true)
  [ -n "$opened" ] && break
  kill -0 $pid 2> /dev/null || break
  sleep 0.005
done
[ -n "$opened" ] || fail "the model file was never seen open"
kill -INT $pid 2> /dev/null || true
status=0
wait $pid || status=$?
[ $status = 1 ] || fail "exit status $status, expected 1"
[ "$(od -An -c "$dir.err" | tr -s ' ')" = " I n t e r r u p t \r \n" ] || fail "standard error: $(od -c "$dir.err" | head -3)"
cmp -s "$scratch/old-report" "$dir/rateA-out4.csv" || fail "the old report changed"
rm -f "$dir/rateA.dat"
finish

if [ -n "$make_model" ]; then
  name=make-model
  case_ok=1
  (cd "$scratch" && "$wine" "$make_model" 1 regenerated.dat) < /dev/null > "$scratch/make-model.log" 2>&1 ||
    fail "make_model.exe failed"
  cmp -s "$model" "$scratch/regenerated.dat" || fail "make_model.exe does not reproduce examples/rateA.dat"
  finish
fi

# slipcheck.exe gives the Linux findings, line for line with CR LF, and the
# same exit status, on a model whose short record makes the run fail later.
name=slipcheck
case_ok=1
dir=$scratch/$name
mkdir -p "$dir"
sed '7003s/ [^ ]*$//' "$model" > "$dir/rateA.dat"
linux_status=0
(cd "$dir" && "$check_linux") > "$dir/linux.out" 2>&1 || linux_status=$?
win_status=0
(cd "$dir" && "$wine" "$check_exe") < /dev/null > "$dir/win.out" 2> "$dir/win.err" || win_status=$?
[ $linux_status = 2 ] || fail "Linux slipcheck exit status $linux_status, expected 2"
[ $win_status = $linux_status ] || fail "exit status $win_status, expected $linux_status"
crlf "$dir/linux.out" | cmp -s - "$dir/win.out" || fail "findings differ: $(diff <(crlf "$dir/linux.out") "$dir/win.out" | head -5)"
[ ! -s "$dir/win.err" ] || fail "standard error: $(head -3 "$dir/win.err")"
finish

# source_both ARGS...: slipsource with ARGS in $dir/linux and slipsource.exe
# with the same in $dir/win, standard output to $dir/SIDE.out and standard
# error to $dir/SIDE.err; both must succeed.
source_both() {
  local linux_status=0 win_status=0
  (cd "$dir/linux" && "$source_linux" "$@") > "$dir/linux.out" 2> "$dir/linux.err" || linux_status=$?
  (cd "$dir/win" && "$wine" "$source_exe" "$@") < /dev/null > "$dir/win.out" 2> "$dir/win.err" || win_status=$?
  [ $linux_status = 0 ] || fail "Linux slipsource $* exit status $linux_status: $(head -3 "$dir/linux.err")"
  [ $win_status = 0 ] || fail "exit status $win_status: $(head -3 "$dir/win.err")"
}

# slipsource.exe prints the Linux summary, line for line with CR LF, and
# writes the same moment-rate table byte for byte, on the example model with
# a layered structure written with CR LF.
name=slipsource
case_ok=1
dir=$scratch/$name
mkdir -p "$dir/linux" "$dir/win"
for side in linux win; do
  cp "$model" "$dir/$side/rateA.dat"
  printf '# crust\r\n4 5.5 3.2 2.6\r\n16\t6.3 3.6 2.8\r\n0 7.9 4.5 3.3\r\n' > "$dir/$side/crust.txt"
done
source_both --structure crust.txt --depth 16 --mr mr.txt
crlf "$dir/linux.out" | cmp -s - "$dir/win.out" || fail "summaries differ: $(diff <(crlf "$dir/linux.out") "$dir/win.out" | head -5)"
cmp -s "$dir/linux/mr.txt" "$dir/win/mr.txt" || fail "moment-rate tables differ: $(diff "$dir/linux/mr.txt" "$dir/win/mr.txt" | head -5)"
[ ! -s "$dir/win.err" ] || fail "standard error: $(head -3 "$dir/win.err")"
finish

# slipsource.exe --all writes the five exchange files with the same bytes as
# Linux: every writer builds its text with LF line ends on both platforms and
# the front end writes it unchanged.
name=slipsource-all
case_ok=1
dir=$scratch/$name
mkdir -p "$dir/linux" "$dir/win"
for side in linux win; do cp "$model" "$dir/$side/rateA.dat"; done
source_both --all ex --depth 16 --event "Example event"
for suffix in mr fsp srf geojson kml; do
  [ -s "$dir/linux/ex.$suffix" ] || fail "Linux wrote no ex.$suffix"
  cmp -s "$dir/linux/ex.$suffix" "$dir/win/ex.$suffix" ||
    fail "ex.$suffix differs: $(cmp "$dir/linux/ex.$suffix" "$dir/win/ex.$suffix" 2>&1 | head -1)"
done
[ ! -s "$dir/win.err" ] || fail "standard error: $(head -3 "$dir/win.err")"
finish

# slipsource.exe's set of files: two spellings of one new file are refused
# (exit 64); with P.kml a folder, --all P writes nothing (exit 2) and says so.
name=slipsource-set
case_ok=1
dir=$scratch/$name
mkdir -p "$dir/P.kml"
cp "$model" "$dir/rateA.dat"
status=0
(cd "$dir" && "$wine" "$source_exe" --depth 16 --fsp a.x --srf '.\A.X') < /dev/null > "$dir/out" 2> "$dir/err" || status=$?
[ $status = 64 ] || fail "--fsp a.x --srf .\\A.X: exit status $status, expected 64"
grep -q "are the same file" "$dir/err" || fail "--fsp a.x --srf .\\A.X: $(head -c 300 "$dir/err")"
status=0
(cd "$dir" && "$wine" "$source_exe" --depth 16 --all P) < /dev/null > "$dir/out" 2> "$dir/err" || status=$?
[ $status = 2 ] || fail "--all P with P.kml a folder: exit status $status, expected 2"
grep -q "P.kml: cannot write: .*nothing written" "$dir/err" || fail "--all P: $(head -c 300 "$dir/err")"
[ "$(LC_ALL=C ls "$dir")" = "$(printf 'P.kml\nerr\nout\nrateA.dat')" ] || fail "--all P left: $(ls "$dir" | tr '\n' ' ')"
finish

if [ -n "$map_exe" ]; then
  # The figure's text depends on nothing of the platform: the same bytes.
  with_report() { cp "$root/tests/data/example-report.csv" "$1/rateA-out4.csv"; cp "$model" "$1/rateA.dat"; }
  prepare slipmap-example with_report
  (cd "$scratch/$name.linux" && "$linux_map" < /dev/null > ../$name.linux.out 2> ../$name.linux.err) || fail "Linux slipmap failed"
  (cd "$scratch/$name.win" && "$wine" "$map_exe" < /dev/null > ../$name.win.out 2> ../$name.win.err) || fail "slipmap.exe failed"
  [ ! -s "$scratch/$name.win.err" ] || fail "slipmap.exe wrote to standard error: $(head -c 300 "$scratch/$name.win.err")"
  cmp -s "$scratch/$name.linux/rateA-out4.svg" "$scratch/$name.win/rateA-out4.svg" || fail "the SVGs differ"
  finish

  # Output that never destroys a file: an older figure is replaced whole, the
  # report spelled another way is refused (exit 64) and left as it was, and
  # the device NUL is written in place.
  name=slipmap-safe-output
  case_ok=1
  dir=$scratch/$name
  mkdir -p "$dir"
  cp "$root/tests/data/example-report.csv" "$dir/R.csv"
  echo "older figure" > "$dir/fig.svg"
  status=0
  (cd "$dir" && "$wine" "$map_exe" R.csv -o fig.svg) < /dev/null > "$dir/out" 2> "$dir/err" || status=$?
  [ $status = 0 ] || fail "rename over fig.svg: exit status $status: $(head -c 300 "$dir/err")"
  (cd "$dir" && "$linux_map" R.csv -o "$scratch/$name.linux.svg")
  cmp -s "$dir/fig.svg" "$scratch/$name.linux.svg" || fail "fig.svg is not the figure"
  status=0
  (cd "$dir" && "$wine" "$map_exe" R.csv -o '.\R.csv') < /dev/null > "$dir/out" 2> "$dir/err" || status=$?
  [ $status = 64 ] || fail "-o .\\R.csv: exit status $status, expected 64"
  grep -q "is the input" "$dir/err" || fail "-o .\\R.csv: $(head -c 300 "$dir/err")"
  cmp -s "$dir/R.csv" "$root/tests/data/example-report.csv" || fail "the report was changed"
  status=0
  (cd "$dir" && "$wine" "$map_exe" R.csv -o NUL) < /dev/null > "$dir/out" 2> "$dir/err" || status=$?
  [ $status = 0 ] || fail "-o NUL: exit status $status: $(head -c 300 "$dir/err")"
  ls "$dir" | grep -q '\.tmp$' && fail "a temporary file was left: $(ls "$dir")"
  finish
fi

echo "windows-e2e: $passed passed, $failed failed"
[ $failed = 0 ]
