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
# output; STDERR is a pattern that stderr must match, "!pattern" one it must not match, "-" for
# none at all, "" for anything.
input=/dev/null
expect() {
    local name=$1 want_exit=$2 want_hex=$3 want_err=$4
    shift 5
    count=$((count + 1))
    local got_hex got_exit
    "${runner[@]}" "$tolvane" "$@" <"$input" >"$work/stdout" 2>"$work/stderr"
    got_exit=$?
    # The program never fails without a word, but Wine now and then fails to start it that way
    # (exit 1, no output at all): under the emulator such a run goes once more, and a program
    # that really fails silently still fails the second time.
    if ((${#runner[@]} && got_exit != want_exit)) && [[ ! -s $work/stdout && ! -s $work/stderr ]]; then
        echo "note: $name: exit $got_exit without output under ${runner[0]}; running it again"
        "${runner[@]}" "$tolvane" "$@" <"$input" >"$work/stdout" 2>"$work/stderr"
        got_exit=$?
    fi
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
    elif [[ $want_err == "!"* ]]; then
        grep -qE -- "${want_err#!}" "$work/stderr" && ok=0
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
printf '\xef\xbb\xbfhi' >"$work/bom.txt"
printf 'ab\xffcd' >"$work/invalid.txt"
input=$work/sample.txt
expect "Ā has no exact form: '?' and a count" 0 3f80e9 "1 character replaced by '\?'.*first U\+0100 at byte 0" -- convert --from UTF-8 --to CP1252
expect "file argument" 0 3f80e9 "replaced" -- convert -f UTF-8 -t CP1252 "$work/sample.txt"
expect "several inputs, - is standard input" 0 3f80e93f80e9 "2 characters replaced" -- convert -f UTF-8 -t CP1252 "$work/sample.txt" -
expect "own default character" 0 2380e9 "replaced by '#'" -- convert -f UTF-8 -t CP1252 --default-char '#'
expect "system default character" 0 3f80e9 "default character" -- convert -f UTF-8 -t CP1252 --system-default-char
expect "strict stops with the position" 1 "" "'standard input': byte 0: U\+0100 has no exact form in CP1252" -- convert -f UTF-8 -t CP1252 --strict
expect "strict and best fit exclude each other" 2 "" "excludes" -- convert -f UTF-8 -t CP1252 --strict --best-fit
expect "UTF-8 round trip" 0 c480e282acc3a9 - -- convert -f UTF-8 -t UTF-8
expect "to UTF-7" 0 2b41514167724144702d - -- convert -f UTF-8 -t UTF-7
input=$work/invalid.txt
expect "invalid input is reported as such" 1 61623f6364 "invalid UTF-8 input in 1 place, the first at byte 2 \(FF" -- convert -f UTF-8 -t CP1252
expect "invalid input is not counted as replaced" 1 61623f6364 "!replaced" -- convert -f UTF-8 -t CP1252
printf 'ab\xffcd \xef\xbf\xbd x \xc4\x80' >"$work/invalid-and-unmappable.txt"
input=$work/invalid-and-unmappable.txt
expect "only what the input really holds counts as replaced" 1 "*" "2 characters replaced .*the first U\+FFFD at byte 6" -- convert -f UTF-8 -t CP1252
input=$work/invalid.txt
expect "invalid input to UTF-8" 1 6162efbfbd6364 "invalid UTF-8 input" -- convert -f UTF-8 -t UTF-8
expect "strict stops at invalid input" 1 "" "byte 2 \(FF, decoded as U\+FFFD\): invalid UTF-8 input" -- convert -f UTF-8 -t UTF-8 --strict
input=$work/bom.txt
expect "BOM stripped for a code page" 0 6869 - -- convert -f UTF-8 -t CP1252
expect "BOM kept between UTFs" 0 efbbbf6869 - -- convert -f UTF-8 -t UTF-8
expect "--bom=strip" 0 6869 - -- convert -f UTF-8 -t UTF-8 --bom=strip
expect "--bom=keep to a code page" 0 3f6869 "U\+FEFF" -- convert -f UTF-8 -t CP1252 --bom=keep
expect "--bom=add" 0 2b2f76382d6869 - -- convert -f UTF-8 -t UTF-7 --bom=add
expect "--bom=add needs a UTF target" 2 "" "needs a UTF-8 or UTF-7 target" -- convert -f UTF-8 -t CP1252 --bom=add
expect "--bom with an unknown value" 2 "" "bom" -- convert -f UTF-8 -t UTF-8 --bom=maybe

# Aliases, case-insensitive; é in UTF-8 each time.
printf '\xc3\xa9' >"$work/e-acute.txt"
input=$work/e-acute.txt
for alias in cp1252:e9 Windows-1252:e9 1252:e9 LATIN1:e9 iso-8859-1:e9 ibm437:82 cp850:82 utf8:c3a9 \
    shift_jis:3f gbk:a8a6 big5:3f euc-kr:3f ascii:3f koi8-r:3f; do
    expect "alias ${alias%%:*}" 0 "${alias#*:}" "" -- convert -f utf-8 -t "${alias%%:*}"
done
input=/dev/null
expect "unknown encoding" 2 "" "unknown encoding 'klingon' \(try tolvane convert --list\)" -- convert -f UTF-8 -t klingon
expect "malformed CP name" 2 "" "unknown encoding 'CP 1252'" -- convert -f "CP 1252" -t UTF-8
expect "code page the system lacks" 2 "" "'CP99999'.*not available" -- convert -f UTF-8 -t CP99999
expect "list" 0 "text:*1252  CP1252  windows-1252 * Western European (Windows) *65001  UTF-8 *" - -- convert --list
expect "missing file" 1 "" "cannot open '.*does-not-exist': No such file" -- convert -f UTF-8 -t CP1252 "$work/does-not-exist"
expect "a directory" 1 "" "cannot (open|read) '.*': (Is a directory|Permission denied)" -- convert -f UTF-8 -t CP1252 "$work"
expect "two default choices" 2 "" "excludes" -- convert -f UTF-8 -t CP1252 --default-char x --system-default-char
expect "default char of two bytes" 2 "" "exactly one byte" -- convert -f UTF-8 -t CP1252 --default-char xy
expect "missing --to" 2 "" "--to" -- convert --from UTF-8

# -o: the file appears complete, or not at all (and an older one stays as it was).
input=$work/sample.txt
rm -f "$work"/out*
expect "-o writes the file" 0 "" "replaced" -- convert -f UTF-8 -t CP1252 -o "$work/out.txt"
[[ $(od -An -tx1 "$work/out.txt" | tr -d ' \n') == 3f80e9 ]] || { echo "FAILED: -o content"; failures=$((failures + 1)); }
expect "-o on a strict failure" 1 "" "U\+0100" -- convert -f UTF-8 -t CP1252 --strict -o "$work/out.txt"
expect "-o on a missing input" 1 "" "cannot open" -- convert -f UTF-8 -t CP1252 -o "$work/out-new.txt" - "$work/does-not-exist"
leftovers=$(cd "$work" && ls out* | tr '\n' ' ')
[[ $leftovers == "out.txt " && $(od -An -tx1 "$work/out.txt" | tr -d ' \n') == 3f80e9 ]] ||
    { echo "FAILED: -o left '$leftovers'"; failures=$((failures + 1)); }
expect "-o in a missing folder" 1 "" "no-such-folder/out.txt': No such file" -- convert -f UTF-8 -t CP1252 -o "$work/no-such-folder/out.txt"

if [[ ${runner[*]-} == *wine* ]]; then windows=1; else windows=0; fi
input=$work/sample.txt
if ((windows)); then
    expect "Windows' best fit turns Ā into A" 0 4180e9 "look-alike" -- convert -f UTF-8 -t CP1252 --best-fit
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
for args in "'' 5" "1 ''" "' 1' 5" "1 6 --seed ''" "1 6 --seed -1" "1 6 -n ''" "1 6 -n 0x10"; do
    eval "expect \"malformed number: random $args\" 2 '' '' -- random $args"
done

# Output that cannot be written is a failure of every command.
for args in "random 1 6" "sysinfo" "tour" "--help" "load $library" "convert -f UTF-8 -t UTF-8 $work/sample.txt"; do
    count=$((count + 1))
    "${runner[@]}" "$tolvane" $args >/dev/full 2>"$work/stderr"
    status=$?
    if ((status == 1)) && grep -q "cannot write to standard output" "$work/stderr"; then
        echo "ok: full output device: $args"
    else
        failures=$((failures + 1))
        echo "FAILED: full output device: $args (exit $status, stderr $(cat "$work/stderr"))"
    fi
done

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
if ((!windows)); then
    expect "wide name that is not UTF-8" 2 "" "not valid UTF-8 \\(byte 0\\)" -- load --wide $'\xff.so'
fi
# Names beyond ASCII (and, on Windows, beyond the ANSI code page) reach the file system intact.
other_name="$work/bibliothèque-日本.${library##*.}"
cp "$library" "$other_name"
expect "wide load of a non-ASCII name" 0 "text:loaded*" - -- load --wide "$other_name" TolvaneTestAdd
if ((windows)); then
    expect "narrow name outside the ANSI code page" 2 "" "no form in the ANSI code page" -- load "$other_name"
fi
printf 'x' >"$work/données-日本.txt"
expect "non-ASCII file name" 0 78 - -- convert -f utf8 -t cp1252 "$work/données-日本.txt"
expect "missing library" 1 "" "Cannot load DLL 'no-such-library'\\." -- load no-such-library
expect "sysinfo" 0 "text:TolvaneUtil version: *" - -- sysinfo
expect "tour" 0 "text:TolvaneUtil 1.0.0: a tour*" - -- tour

echo "$((count - failures)) passed, $failures failed"
((failures == 0))
