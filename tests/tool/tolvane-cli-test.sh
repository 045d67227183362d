#!/usr/bin/env bash
# Runs the built tolvane program (natively, or under the emulator given first) and checks its
# output and exit codes. Usage: tolvane-cli-test.sh [EMULATOR] TOLVANE WORKDIR
set -u
if (($# == 3)); then runner=("$1"); shift; else runner=(); fi
tolvane=$1
work=$2
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
    got_hex=$(od -An -tx1 "$work/stdout" | tr -d ' \n')
    local ok=1
    [[ $got_exit == "$want_exit" ]] || ok=0
    [[ $want_hex == "*" || $got_hex == "$want_hex" ]] || ok=0
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

echo "$((count - failures)) passed, $failures failed"
((failures == 0))
