# Sourced by ./demo and ./run-tests: each step is named, and a step that fails
# says so and shows its own output, whatever it was that failed.

# Runs a step whose output matters only when it fails.
# usage: quiet_step WHAT COMMAND...
quiet_step() {
    local what=$1 log status=0
    shift
    log=$(mktemp)
    "$@" >"$log" 2>&1 || status=$?
    if [ $status -ne 0 ]; then
        echo "FAILED: $what (exit code $status); the end of its output:" >&2
        tail -n 40 "$log" | sed 's/^/  | /' >&2
        rm -f "$log"
        exit $status
    fi
    rm -f "$log"
}

# Runs a step whose output is shown as it comes.
# usage: step WHAT COMMAND...
step() {
    local what=$1 status=0
    shift
    "$@" || status=$?
    if [ $status -ne 0 ]; then
        echo "FAILED: $what (exit code $status)" >&2
        exit $status
    fi
}

# The Debian release whose Wine runs the Wine tests where this kernel cannot:
# this machine's own, or the newest supported one on any other system.
wine_guest_release() {
    local this
    this=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    case "$this" in
        bookworm | trixie) echo "$this" ;;
        *) echo trixie ;;
    esac
}
