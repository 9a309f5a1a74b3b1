# Sourced by the bench scripts: the game to measure, from the command line
# or built here (Release, with the generated assets) into build/bench, with
# the end-to-end helpers loaded and a private display started for it.
# Sets BENCH_EXE.
bench_game() {
    BENCH_EXE="${1:-}"
    if [ -z "$BENCH_EXE" ]; then
        cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DTESSALOOM_BENCH=ON -DTESSALOOM_GAME=ON >/dev/null
        cmake --build build/bench --target tessaloom assets -j2 >/dev/null
        BENCH_EXE=build/bench/tessaloom
    fi
    . tests/e2e/lib.sh
    e2e_init "$BENCH_EXE"
    start_display
}
