# Sourced by the end-to-end scripts, which run the real binary as a user
# would: a scratch directory, runs whose output lands in out.txt and err.txt,
# and failures counted to the end.

# start_in_scratch KESMIR: sets $kesmir to the binary and moves into a scratch
# directory that goes when the script ends.
start_in_scratch() {
    kesmir=$(realpath "$1")
    scratch=$(mktemp -d)
    trap 'rm -rf "$scratch"' EXIT
    cd "$scratch" || exit 1
    failures=0
}

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# enter DIRECTORY: makes it if need be and moves into it.
enter() { mkdir -p "$1" && cd "$1" || exit 1; }

# run CODE DESCRIPTION COMMAND...: runs the command, stdout to out.txt and
# stderr to err.txt, and fails unless it exits with CODE.
run() {
    local want=$1 what=$2
    shift 2
    "$@" >out.txt 2>err.txt
    local got=$?
    [ "$got" -eq "$want" ] || fail "$what: exit code $got, wanted $want; $(cat err.txt)"
}

# refused DESCRIPTION COMMAND...: exit code 2, one line on stderr, nothing on stdout.
refused() {
    run 2 "$@"
    [ "$(wc -l <err.txt)" -eq 1 ] || fail "$1: wanted one line on stderr, got: $(cat err.txt)"
    [ ! -s out.txt ] || fail "$1: printed on stdout"
}

# finish NAME: the script's verdict and exit code.
finish() {
    if [ "$failures" -ne 0 ]; then
        echo "$failures $1 check(s) failed"
        exit 1
    fi
    echo "all $1 checks passed"
}
