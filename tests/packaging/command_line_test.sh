#!/usr/bin/env bash
# What skarn does with its command line on a terminal: --help and --version
# print and exit, Qt's own options pass, anything else is refused with exit
# status 2 before a window opens.
# Usage: command_line_test.sh SKARN VERSION
set -uo pipefail

skarn=$(readlink -f -- "$1")
version=$2
scratch=$(mktemp -d "${TMPDIR:-/tmp}/skarn-command-line-test.XXXXXX")
trap 'rm -rf -- "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# expect STATUS STDOUT-PATTERN STDERR-PATTERN ARGS...: runs skarn in an empty
# folder (a window opened by mistake would find its data files there and is
# stopped by the timeout) and checks the status and both outputs (grep -E
# patterns; an empty pattern means the output must be empty).
expect() {
    local status=$1 out=$2 err=$3
    shift 3
    local got=0
    (cd "$scratch" && QT_QPA_PLATFORM=offscreen timeout 10 "$skarn" "$@") \
        >"$scratch/out" 2>"$scratch/err" || got=$?
    local what="skarn $*"
    [ "$got" -eq "$status" ] || fail "$what: exit status $got, expected $status"
    for stream in out err; do
        local pattern=${!stream}
        if [ -z "$pattern" ]; then
            [ ! -s "$scratch/$stream" ] || fail "$what: unexpected std$stream: $(cat "$scratch/$stream")"
        elif ! grep -Eq -- "$pattern" "$scratch/$stream"; then
            fail "$what: std$stream lacks /$pattern/: $(cat "$scratch/$stream")"
        fi
    done
    [ ! -e "$scratch/charfile.cfg" ] || { fail "$what: opened the window"; rm -f "$scratch"/*.cfg; }
}

v=${version//./\\.}
expect 0 "^skarn $v\$" ""                               --version
expect 0 "^skarn $v\$" ""                               -v
expect 0 "^Usage: .*skarn \[options\]"     ""           --help
expect 0 "^  -v, --version "               ""           -h
expect 2 "" "^skarn: Unknown option 'bogus'\.\$"        --bogus
expect 2 "" "^Try 'skarn --help' for more information\.\$" --bogus
expect 2 "" "^skarn: Unexpected argument 'charfile\.cfg'\.\$" charfile.cfg
expect 2 "" "^skarn: Unknown option 'bogus'\.\$"        --help --bogus
# Qt's standard options are Qt's, with or without values.
expect 0 "^skarn $v\$" ""                               -style Fusion -reverse --version
expect 2 "" "^skarn: Unknown option 'bogus'\.\$"        -platform offscreen --bogus

[ "$failures" -eq 0 ] || { echo "$failures failed" >&2; exit 1; }
echo "skarn's command line: all cases passed"
