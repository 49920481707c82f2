# shellcheck shell=bash
# What every end-to-end check script of quorvane-host shares; sourced, never run. It starts
# the check in a fresh $WORK and gives the helpers below. The sourcing script has set -e.
#
#   . check-lib.sh            (with QUORVANE_HOST and WORK in the environment)
rm -rf "$WORK"
mkdir -p "$WORK"
chmod 0755 "$WORK"
cd "$WORK"

fail() {
    echo "FAILED: $*" >&2
    exit 1
}

skip() {
    echo "SKIPPED: $*" >&2
    exit 77
}

# Runs the program; its output goes to ./.stdout and ./.stderr and its status to $status.
run() {
    set +e
    "$QUORVANE_HOST" "$@" >.stdout 2>.stderr
    status=$?
    set -e
    echo "\$ quorvane-host $* -> $status" >&2
}

expect_status() {
    if [ "$status" != "$1" ]; then
        echo "--- stdout" >&2; cat .stdout >&2; echo "--- stderr" >&2; cat .stderr >&2
        fail "exit status $status, expected $1"
    fi
}

# expect_same ACTUAL EXPECTED: byte for byte.
expect_same() {
    if ! cmp -s "$1" "$2"; then
        diff -u "$2" "$1" >&2 || true
        fail "$1 differs from $2"
    fi
}

# expect_in FILE TEXT: FILE holds TEXT (a fixed string).
expect_in() {
    if ! grep -qF -- "$2" "$1"; then
        echo "--- $1" >&2; cat "$1" >&2
        fail "$1 does not say: $2"
    fi
}

expect_empty_stderr() {
    if [ -s .stderr ]; then
        cat .stderr >&2
        fail "unexpected output on standard error"
    fi
}
