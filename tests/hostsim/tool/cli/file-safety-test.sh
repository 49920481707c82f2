#!/bin/bash
# What writing a file does to what belongs to the file, end to end through quorvane-host: its
# owner, group and mode, the refusals (read-only, another user's, a folder that cannot be
# written to, hard links), a temporary left by a killed run, a reader that goes away, and the
# order of the system calls that make a replacement safe. One check a run.
#
#   file-safety-test.sh CHECK
#
# The environment: QUORVANE_HOST (the program), WORK (a directory of this check's own),
# EXAMPLES (examples/). Checks that act as another user run as root and skip otherwise; they
# use `setpriv` to run the program as nobody. Exits 0 (passed), 1 (failed) or 77 (skipped).
set -euo pipefail

check="$1"
. "$(dirname "${BASH_SOURCE[0]}")/check-lib.sh"

run_as_nobody() {
    set +e
    setpriv --reuid=65534 --regid=65534 --clear-groups "$QUORVANE_HOST" "$@" >.stdout 2>.stderr
    status=$?
    set -e
    echo "\$ (as nobody) quorvane-host $* -> $status" >&2
}

need_root() {
    [ "$(id -u)" = 0 ] || skip "needs root, to make files of another user and act as nobody ($*)"
    command -v setpriv >/dev/null || skip "setpriv (util-linux) is missing"
    # The program must be reachable by nobody: every folder on its path searchable.
    setpriv --reuid=65534 --regid=65534 --clear-groups test -x "$QUORVANE_HOST" ||
        skip "nobody cannot run $QUORVANE_HOST (a folder on its path is closed to others)"
}

# expect_one_line TEXT: standard error is exactly one line, and holds TEXT.
expect_one_line() {
    if [ "$(wc -l <.stderr)" != 1 ] || ! grep -qF -- "$1" .stderr; then
        echo "--- stderr" >&2; cat .stderr >&2
        fail "expected one line holding: $1"
    fi
}

owner_mode() {
    stat -c '%u:%g %a' "$1"
}

case "$check" in
# As root, a file of another user is written as theirs: owner, group and mode kept.
keeps-owner-group-and-mode)
    need_root "the file belongs to nobody"
    cp "$EXAMPLES/festival-posters.json" theirs.json
    chown 65534:65534 theirs.json
    chmod 0640 theirs.json
    run renumber --by row theirs.json -o theirs.json
    expect_status 0
    [ "$(owner_mode theirs.json)" = "65534:65534 640" ] ||
        fail "theirs.json is now $(owner_mode theirs.json), expected 65534:65534 640"
    cmp -s theirs.json "$EXAMPLES/festival-posters.json" && fail "theirs.json was not renumbered"
    [ "$(ls -A | grep -c '\.tmp$' || true)" = 0 ] || fail "a temporary was left: $(ls -A)"
    ;;

# What may not be replaced is refused with exit 2, one line naming the file and the cause,
# and nothing changes. Each row: name|who runs|set-up|what the message holds.
refusals)
    need_root "the cases of another user's files"
    failed=0
    while IFS='|' read -r name who setup reason; do
        [ -n "$name" ] || continue
        mkdir -p "$name"
        cp "$EXAMPLES/festival-posters.json" "$name/doc.json"
        (cd "$name" && eval "$setup")
        before=$(ls -A "$name" | sort | tr '\n' ' ')
        if [ "$who" = nobody ]; then
            run_as_nobody renumber --by row "$name/doc.json" -o "$name/doc.json"
        else
            run renumber --by row "$name/doc.json" -o "$name/doc.json"
        fi
        chmod u+w "$name"
        after=$(ls -A "$name" | sort | tr '\n' ' ')
        if [ "$status" != 2 ] || [ "$(wc -l <.stderr)" != 1 ] ||
            ! grep -qF -- "$name/doc.json: cannot be written: $reason" .stderr; then
            echo "$name: exit $status, expected 2 and one line holding: $reason" >&2
            cat .stderr >&2
            failed=1
        elif ! cmp -s "$name/doc.json" "$EXAMPLES/festival-posters.json" || [ "$before" != "$after" ]; then
            echo "$name: the file or its folder changed ($before -> $after)" >&2
            failed=1
        fi
    done <<'ROWS'
read-only|root|chmod 0444 doc.json|it is read-only (mode 0444, owned by root)
read-only-for-nobody|nobody|chmod 0444 doc.json; chmod 0777 .|it is read-only (mode 0444, owned by root)
another-users|nobody|chmod 0644 doc.json; chmod 0777 .|you may not write it (mode 0644, owned by root): Permission denied
read-only-folder|nobody|chmod 0666 doc.json; chmod 0555 .|the folder read-only-folder cannot be written to (Permission denied), and a new version is written there before it takes the file's place; the file itself could be written
sticky-folder|nobody|chmod 0666 doc.json; chmod 01777 .|the folder sticky-folder is sticky (as /tmp is): only the file's owner may replace a file there (mode 0666, owned by root); the file itself could be written
writable-but-theirs|nobody|chmod 0666 doc.json; chmod 0777 .|its owner and group cannot be kept (mode 0666, owned by root, group 0): Operation not permitted
hard-linked|root|ln doc.json other-name.json|it has 2 names (hard links)
ROWS
    [ "$failed" = 0 ] || fail "a refusal was wrong (above)"
    ;;

# A temporary that a killed run left beside the file (its process has ended, no one holds it)
# is removed by the next run on that file; another file's, or a running process's, stays.
removes-abandoned-temporaries)
    cp "$EXAMPLES/festival-posters.json" big.json
    sh -c 'exit 0' &
    ended=$!
    wait "$ended"
    head -c 1000000 /dev/zero >".big.json.$ended-585325.tmp"
    head -c 10 /dev/zero >".big.json.$$-585325.tmp"
    head -c 10 /dev/zero >".other.json.$ended-585325.tmp"
    run renumber --by row big.json -o big.json
    expect_status 0
    [ ! -e ".big.json.$ended-585325.tmp" ] || fail "the abandoned temporary is still there"
    [ -e ".big.json.$$-585325.tmp" ] || fail "a running process's temporary was removed"
    [ -e ".other.json.$ended-585325.tmp" ] || fail "another file's temporary was removed"
    ;;

# A reader that goes away (head -c1) makes the write fail: exit 2 and one line, no signal.
reader-goes-away)
    # Larger than a pipe's buffer, so that the program is still writing when head has gone.
    {
        printf '{\n  "title": "'
        head -c 400000 /dev/zero | tr '\0' 'x'
        printf '",\n  "artboards": [\n'
        printf '    {"name": "A", "bounds": [0, 100, 100, 0]}\n  ]\n}\n'
    } >long.json
    set +e
    "$QUORVANE_HOST" renumber --by row long.json -o - 2>.stderr | head -c1 >/dev/null
    status=${PIPESTATUS[0]}
    set -e
    echo "\$ quorvane-host renumber --by row long.json -o - | head -c1 -> $status" >&2
    expect_status 2
    expect_one_line "standard output could not be written"
    ;;

# A tolerance too close to 0 for the program to hold is refused as such; 0 written with a
# huge exponent is 0.
tolerance-too-close-to-zero)
    cp "$EXAMPLES/festival-posters.json" doc.json
    for value in 1e-324 1e-400 "0.$(printf '%0330d' 0)1" -1e-400; do
        run show doc.json --by row --tolerance "$value"
        expect_status 2
        expect_one_line "is too close to 0 to be told from it"
    done
    for value in 0e999999999 4.9e-324 0; do
        run show doc.json --by row --tolerance "$value"
        expect_status 0
    done
    ;;

*)
    echo "file-safety-test.sh: no check named $check" >&2
    exit 2
    ;;
esac
