#!/usr/bin/env bash
# Builds the game with ThreadSanitizer (build/tsan) and runs the end-to-end
# tests of the window under it: start-up, keys, the message box, the frame
# hand-over (also while the window is resized and maximised), the music's
# end report from the audio thread, the display probe's thread (answered,
# refused, never answered and left behind, a signal while waiting), the
# loader thread of a slow start-up, every way out (Q, the window manager's
# close request, SIGTERM, SIGHUP, closed standard streams, the display
# killed), and the settings saved on a thread of their own (M, two copies,
# a lock held elsewhere). Fails when a test fails or when any
# ThreadSanitizer report is written.
#
# Usage: tools/tsan/run.sh [ROUNDS]    (each round runs every test once)
# Needs the packages of tools/deps.sh (Xvfb, xdotool, openbox, ...).
set -euo pipefail
cd "$(dirname "$0")/../.."

rounds="${1:-1}"
case "$rounds" in '' | *[!0-9]*) echo "usage: $0 [ROUNDS]" >&2; exit 2 ;; esac
build=build/tsan
tests=(window window_grows keys message_box picture quit_key wm_close sigterm sighup closed_streams lost_display
    music_loop no_display refused_display silent_display slow_start mute settings_two_copies settings_locked)

start=$(date +%s)
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSALOOM_SANITIZE=thread \
    -DTESSALOOM_TESTS=ON -DTESSALOOM_GAME=ON -DTESSALOOM_TEST_HOOKS=ON >/dev/null
cmake --build "$build" --target tessaloom assets slow_disk -j"${TSAN_JOBS:-2}"
built=$(date +%s)

# Reports go to files, one per process that had any, so a test that ends
# the game with SIGKILL (an open message box ignores SIGTERM) cannot lose
# one with its stderr. halt_on_error stops the game at the first report;
# exit code 66 then also fails the test itself.
reports="$PWD/$build/tsan-reports"
logs="$PWD/$build/tsan-logs"
rm -rf "$reports" "$logs"
mkdir -p "$reports" "$logs"
options="halt_on_error=1 exitcode=66 report_signal_unsafe=0 log_path=$reports/report"
# Suppressions are for third-party libraries only, each with its reason;
# none is needed: the window uses SDL's software renderer, so Mesa's threads
# (which do report) never load, and SDL and libX11 gave none.
if [ -s tools/tsan/suppressions.txt ]; then
    options="$options suppressions=$PWD/tools/tsan/suppressions.txt"
fi
export TSAN_OPTIONS="$options"
# A game ended during a slow start-up exits while its loader thread still
# reads one file, as designed; the runtime would wait a second at exit for
# such a thread, past that test's deadline of one.
exit_options="$options atexit_sleep_ms=0"

# Kernels with more address-space randomisation than this runtime knows
# make it abort with "unexpected memory mapping"; without randomisation it
# always finds its layout. The personality is inherited by the game.
norandom=()
if setarch "$(uname -m)" -R true 2>/dev/null; then
    norandom=(setarch "$(uname -m)" -R)
fi

failed=()
runs=0
for round in $(seq 1 "$rounds"); do
    for t in "${tests[@]}"; do
        runs=$((runs + 1))
        log="$logs/$t.$round.log"
        test_options="$options"
        [ "$t" != slow_start ] || test_options="$exit_options"
        if TSAN_OPTIONS="$test_options" timeout -s KILL 180 "${norandom[@]}" \
            bash "tests/e2e/$t.sh" "$build/tessaloom" "" "$build/tests/libslow_disk.so" >"$log" 2>&1; then
            echo "ok    $t (round $round)"
        else
            echo "FAIL  $t (round $round), log: $log"
            failed+=("$t.$round")
        fi
    done
done

count=0
for f in "$reports"/report*; do
    [ -e "$f" ] || continue
    n=$(grep -c '^WARNING: ThreadSanitizer' "$f" || true)
    count=$((count + n))
    echo "--- $f ($n reports) ---"
    cat "$f"
done
end=$(date +%s)
echo "tsan: $runs runs, $count reports; build $((built - start)) s, runs $((end - built)) s"
echo "tsan: $((runs - ${#failed[@]})) passed, ${#failed[@]} failed"
[ ${#failed[@]} -eq 0 ] && [ "$count" -eq 0 ] && [ -z "$(ls -A "$reports")" ]
