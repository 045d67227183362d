#!/usr/bin/env bash
# Runs the built tolvane program (natively, or under the emulator given first) and checks its
# output and exit codes. Usage: tolvane-cli-test.sh [EMULATOR] TOLVANE TEST_LIBRARY WORKDIR
# (TEST_LIBRARY: a library exporting TolvaneTestAdd at ordinal 1 on Windows).
set -u
if (($# == 4)); then runner=("$1"); shift; else runner=(); fi
tolvane=$1
library=$2
work=$3
mkdir -p "$work"
failures=0
count=0

# expect NAME EXIT STDOUT_HEX STDERR -- ARGS... (stdin from $input). STDOUT_HEX "*" takes any
# output; STDERR is a pattern that stderr must match, "-" for none at all, "" for anything.
input=/dev/null
expect() {
    local name=$1 want_exit=$2 want_hex=$3 want_err=$4
    shift 5
    count=$((count + 1))
    local got_hex got_exit
    "${runner[@]}" "$tolvane" "$@" <"$input" >"$work/stdout" 2>"$work/stderr"
    got_exit=$?
    # Text output ends lines with CR LF on Windows; the comparison ignores the CR.
    if [[ $want_hex == text:* ]]; then
        got_hex="text:$(tr -d '\r' <"$work/stdout" | tr '\n' ' ')"
    else
        got_hex=$(od -An -tx1 "$work/stdout" | tr -d ' \n')
    fi
    local ok=1
    [[ $got_exit == "$want_exit" ]] || ok=0
    [[ $want_hex == "*" || $got_hex == "$want_hex" || ($want_hex == *"*" && $got_hex == ${want_hex%"*"}*) ]] || ok=0
    if [[ $want_err == "-" ]]; then
        [[ -s $work/stderr ]] && ok=0
    elif [[ -n $want_err ]] && ! grep -qE -- "$want_err" "$work/stderr"; then
        ok=0
    fi
    if ((ok)); then
        echo "ok: $name"
    else
        failures=$((failures + 1))
        echo "FAILED: $name"
        echo "  exit $got_exit (want $want_exit), stdout $got_hex (want $want_hex)"
        echo "  stderr: $(tr '\n' ' ' <"$work/stderr") (want /$want_err/)"
    fi
}

# Ā€é in UTF-8.
printf '\xc4\x80\xe2\x82\xac\xc3\xa9' >"$work/sample.txt"
input=$work/sample.txt
expect "no best fit replaces Ā by ?" 0 3f80e9 "default character" -- convert --from UTF-8 --to CP1252 --no-best-fit
expect "file argument" 0 3f80e9 "default character" -- convert --from UTF-8 --to CP1252 --no-best-fit "$work/sample.txt"
expect "own default character" 0 2380e9 "default character" -- convert --from UTF-8 --to CP1252 --no-best-fit --default-char '#'
expect "system default is not reported" 0 3f80e9 - -- convert --from UTF-8 --to CP1252 --no-best-fit --system-default-char
expect "UTF-8 round trip" 0 c480e282acc3a9 - -- convert --from UTF-8 --to UTF-8
expect "to UTF-7" 0 2b41514167724144702d - -- convert --from UTF-8 --to UTF-7
input=/dev/null
expect "unknown target encoding" 2 "" "invalid destination encoding" -- convert --from UTF-8 --to utf-8
expect "unknown source encoding" 2 "" "invalid source encoding" -- convert --from latin1 --to UTF-8
expect "malformed CP number" 2 "" "code-page number" -- convert --from UTF-8 --to "CP 1252"
expect "code page the system lacks" 1 "" "not convertible" -- convert --from UTF-8 --to CP99999 "$work/sample.txt"
expect "missing file" 1 "" "cannot open" -- convert --from UTF-8 --to CP1252 "$work/does-not-exist"
expect "two default choices" 2 "" "excludes" -- convert --from UTF-8 --to CP1252 --default-char x --system-default-char
expect "default char of two bytes" 2 "" "exactly one byte" -- convert --from UTF-8 --to CP1252 --default-char xy
expect "missing --to" 2 "" "--to" -- convert --from UTF-8
expect "no subcommand" 2 "" "subcommand" --
expect "unknown subcommand" 2 "" "" -- frobnicate
expect "help" 0 "*" "" -- --help
expect "convert help" 0 "*" "" -- convert --help
expect "version" 0 "*" "" -- --version

if [[ ${runner[*]-} == *wine* ]]; then windows=1; else windows=0; fi
input=$work/sample.txt
if ((windows)); then
    expect "Windows' best fit turns Ā into A" 0 4180e9 - -- convert --from UTF-8 --to CP1252
fi

input=/dev/null
expect "seeded numbers" 0 "text:1 2 1 " - -- random 0 9 --count 3 --seed 5489
expect "negative range" 0 "text:-2 -4 1 " - -- random -5 5 -n 3 --seed 5489
expect "span of 1025 takes two draws" 0 "text:880 756 67 " - -- random 0 1024 -n 3 --seed 5489
expect "empty range gives its minimum" 0 "text:7 " - -- random 7 7
expect "reversed range gives its minimum" 0 "text:9 " - -- random 9 3
expect "full 32-bit range" 0 "*" - -- random -2147483648 2147483647 -n 5
expect "not a number" 2 "" "max" -- random 1 x
expect "beyond 32 bits" 2 "" "max" -- random 1 99999999999
expect "count of zero" 2 "" "count" -- random 1 6 --count 0
expect "seed beyond 32 bits" 2 "" "seed" -- random 1 6 --seed 4294967296

SECONDS=0
expect "wait is silent off a terminal" 0 "" - -- wait 200ms
((SECONDS < 30)) || { echo "FAILED: wait took ${SECONDS}s"; failures=$((failures + 1)); }
expect "wait with no time" 0 "" - -- wait 0
expect "wait with a bad unit" 2 "" "no duration" -- wait 3x
expect "wait overflowing 64 bits" 2 "" "no duration" -- wait 99999999999999999999h

expect "load an export" 0 "text:loaded*" - -- load "$library" TolvaneTestAdd
expect "load by wide name" 0 "text:loaded*" - -- load --wide "$library" TolvaneTestAdd
expect "missing export" 1 "*" "Cannot find DLL export with name 'NoSuchExport'\\." -- load "$library" TolvaneTestAdd NoSuchExport
if ((windows)); then
    expect "export by ordinal" 0 "text:loaded*" - -- load "$library" "#1" "#9"
else
    expect "no ordinals here" 1 "*" "Cannot find DLL export with ordinal 1\\." -- load "$library" "#1"
fi
expect "ordinal out of range" 2 "" "#70000" -- load "$library" "#70000"
expect "missing library" 1 "" "Cannot load DLL 'no-such-library'\\." -- load no-such-library
expect "sysinfo" 0 "text:TolvaneUtil version: *" - -- sysinfo
expect "tour" 0 "text:TolvaneUtil 1.0.0: a tour*" - -- tour

echo "$((count - failures)) passed, $failures failed"
((failures == 0))
