#!/usr/bin/env bash
# Drives the configured skarn-launch in a scratch install tree, with a stand-in
# skarn that records where and how it was started.
# Usage: launcher_test.sh LAUNCHER EXAMPLES_DIR
set -uo pipefail

launcher=$1
examples=$2
scratch=$(mktemp -d "${TMPDIR:-/tmp}/skarn-launch-test.XXXXXX")
trap 'rm -rf -- "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# An installed layout: bin/ beside share/skarn/examples/.
prefix="$scratch/pre fix"
mkdir -p "$prefix/bin" "$prefix/share/skarn/examples"
cp "$launcher" "$prefix/bin/skarn-launch"
chmod +x "$prefix/bin/skarn-launch"
cp "$examples/charfile.cfg" "$examples/equifile.cfg" "$prefix/share/skarn/examples/"
cat >"$prefix/bin/skarn" <<'FAKE'
#!/bin/sh
pwd >"$SKARN_TEST_RECORD"
for a in "$@"; do printf '%s\n' "$a" >>"$SKARN_TEST_RECORD"; done
FAKE
chmod +x "$prefix/bin/skarn"

# Runs the launcher with a given HOME and XDG_DATA_HOME ("-" for unset);
# leaves its status in $status and what the stand-in recorded in $record.
launch() {
    local home=$1 xdg=$2
    shift 2
    rm -f "$scratch/record"
    if [ "$xdg" = - ]; then
        env -u XDG_DATA_HOME HOME="$home" SKARN_TEST_RECORD="$scratch/record" \
            "$prefix/bin/skarn-launch" "$@" 2>"$scratch/stderr"
    else
        env HOME="$home" XDG_DATA_HOME="$xdg" SKARN_TEST_RECORD="$scratch/record" \
            "$prefix/bin/skarn-launch" "$@" 2>"$scratch/stderr"
    fi
    status=$?
    record=$(cat "$scratch/record" 2>/dev/null || true)
}

same_as_sample() { cmp -s "$examples/$1" "$2/$1"; }

# First start: the folder is made, both samples arrive byte for byte, and
# skarn runs there with the arguments passed on.
home="$scratch/home one"
launch "$home" - -platform "two words"
data="$home/.local/share/skarn"
[ "$status" -eq 0 ] || fail "first start: status $status ($(cat "$scratch/stderr"))"
[ "$record" = "$data"$'\n'"-platform"$'\n'"two words" ] || fail "first start: skarn saw [$record]"
for f in charfile.cfg equifile.cfg; do
    same_as_sample "$f" "$data" || fail "first start: $f is not the sample"
done
leftovers=$(find "$data" -name '.*' -type f)
[ -z "$leftovers" ] || fail "first start left temporary files: $leftovers"

# Later starts never write over the user's files, even an empty one, and
# bring back only a file that is missing.
printf 'my own characters\r\n' >"$data/charfile.cfg"
: >"$data/equifile.cfg"
launch "$home" -
[ "$status" -eq 0 ] && [ "$record" = "$data" ] || fail "second start: status $status, skarn saw [$record]"
[ "$(cat "$data/charfile.cfg")" = $'my own characters\r' ] || fail "second start replaced charfile.cfg"
[ ! -s "$data/equifile.cfg" ] || fail "second start replaced an empty equifile.cfg"
rm "$data/equifile.cfg"
rm "$data/charfile.cfg"
ln -s "$scratch/nowhere" "$data/charfile.cfg"
launch "$home" -
same_as_sample equifile.cfg "$data" || fail "a deleted equifile.cfg was not restored"
[ -L "$data/charfile.cfg" ] || fail "a dangling link named charfile.cfg was replaced"

# XDG_DATA_HOME: an absolute path is used; a relative one is ignored.
home="$scratch/home two"
launch "$home" "$scratch/xdg"
[ "$status" -eq 0 ] && [ "$record" = "$scratch/xdg/skarn" ] || fail "absolute XDG_DATA_HOME: skarn saw [$record]"
same_as_sample charfile.cfg "$scratch/xdg/skarn" || fail "absolute XDG_DATA_HOME: no sample copied"
cd "$scratch"
launch "$home" "relative/xdg"
cd - >/dev/null
[ "$record" = "$home/.local/share/skarn" ] || fail "relative XDG_DATA_HOME: skarn saw [$record]"
[ ! -e "$scratch/relative" ] || fail "relative XDG_DATA_HOME: folder made under the working directory"

# A data folder that cannot be made: a clear message, and skarn is not run.
: >"$scratch/blocker"
launch "$scratch/home three" "$scratch/blocker"
[ "$status" -ne 0 ] || fail "unusable data folder: status 0"
[ -z "$record" ] || fail "unusable data folder: skarn was started"
grep -q "cannot create or enter the data folder $scratch/blocker/skarn" "$scratch/stderr" \
    || fail "unusable data folder: message was [$(cat "$scratch/stderr")]"

# With no HOME and no XDG_DATA_HOME there is no data folder to use.
rm -f "$scratch/record"
env -u HOME -u XDG_DATA_HOME SKARN_TEST_RECORD="$scratch/record" \
    "$prefix/bin/skarn-launch" 2>"$scratch/stderr" && fail "no HOME: status 0"
[ ! -e "$scratch/record" ] || fail "no HOME: skarn was started"

# No skarn beside the launcher nor on PATH: a message naming the program.
rm "$prefix/bin/skarn"
PATH=/usr/bin:/bin launch "$scratch/home four" -
[ "$status" -eq 127 ] || fail "no skarn: status $status"
grep -q "cannot find the skarn program" "$scratch/stderr" || fail "no skarn: message was [$(cat "$scratch/stderr")]"

if [ "$failures" -ne 0 ]; then
    echo "$failures launcher checks failed" >&2
    exit 1
fi
echo "launcher checks passed"
