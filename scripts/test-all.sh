#!/usr/bin/env bash
# Sets up a fresh machine, builds tessaro three times (plain, with the address and undefined-
# behaviour sanitizers, and with the thread sanitizer) and runs the tests.
set -euo pipefail
cd "$(dirname "$0")/.."

# The sanitizers map their shadow memory at fixed addresses, which collide with the program's own
# mappings on kernels that randomise addresses with more bits (vm.mmap_rnd_bits = 32 stops both of
# them before the first test). The whole run goes without address randomisation when the
# machine lets it.
if [ -z "${TESSARO_NO_ASLR:-}" ] && setarch "$(uname -m)" -R true 2>/dev/null; then
  export TESSARO_NO_ASLR=1
  exec setarch "$(uname -m)" -R bash "$PWD/scripts/test-all.sh" "$@"
fi

bash scripts/setup.sh
bash scripts/build.sh --sanitize

# Window tests need an X display; start a virtual one when there is none. It must not reset when
# its last client leaves: a window test starting during the reset would find no display.
if [ -z "${DISPLAY:-}" ]; then
  n=97
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >/tmp/tessaro-xvfb.log 2>&1 &
  xvfb_pid=$!
  trap 'kill $xvfb_pid 2>/dev/null || true' EXIT
  export DISPLAY=":$n"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
fi
export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

status=0
failed=()
failed_dirs=()
# Names the failed tests of a stage once more at the end, where a long log's tail shows them.
note_failures() {
  local list="$2/Testing/Temporary/LastTestsFailed.log"
  status=1
  failed_dirs+=("$2")
  if [ -s "$list" ]; then
    while read -r line; do failed+=("$1: ${line#*:}"); done <"$list"
  else
    failed+=("$1: the stage itself failed")
  fi
}
# Random input on every shipped patch: a short stretch for the plain build, a longer one where the
# sanitizers watch.
TESSARO_MONKEY_SECONDS="${TESSARO_MONKEY_SECONDS:-3}" ctest --test-dir build --output-on-failure -j2 || note_failures plain build
# The install and package tests check what is shipped, not memory: the plain build runs them.
# The JACK tests play in real time against a server that drops periods when the machine is busy:
# under the sanitizers, which slow every process, they run alone after the others.
TESSARO_MONKEY_SECONDS="${TESSARO_MONKEY_SECONDS:-10}" ctest --test-dir build-asan --output-on-failure -j2 -LE "^(install|jack)$" || note_failures sanitizers build-asan
ctest --test-dir build-asan --output-on-failure -j1 -L "^jack$" || note_failures sanitizers-jack build-asan
# The thread sanitizer watches the engine, the remote server and the playing program, where
# threads share the modules. The remote server's own tests cannot hold under it: they count the
# process's threads, and the sanitizer adds one of its own while they run.
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSARO_TSAN=ON -DTESSARO_BENCH=OFF >/dev/null
cmake --build build-tsan -j"$(nproc)" --target test_engine test_remote tessaro test_app_window
TSAN_OPTIONS="halt_on_error=1 suppressions=$PWD/scripts/tsan.supp" \
  ctest --test-dir build-tsan --output-on-failure -j2 -L "^(engine|remote)$" \
  -E "ThreadThatCannotStartClosesTheSocket|^RemoteServer\." || note_failures threads build-tsan
# Of the window tests, those where the window, the remote console and the audio thread meet
# (the whole set takes eight minutes under the sanitizer): a knob drag and a remote command
# while playing, the note keys, the sequencer's step lamps, the scope, a save while playing.
# The program stops at its first race with the sanitizer's status, which fails the test.
TSAN_OPTIONS="halt_on_error=1 suppressions=$PWD/scripts/tsan.supp" \
  ctest --test-dir build-tsan --output-on-failure --no-tests=error -L "^window$" \
  -R "^ProgramWindow\.(HeldNoteKey|RemoteCommandHeld|SequencerStepLamps)|^ProgramScopeChooser\.F1|^ProgramUndo\.KnobButtonAndRemote|^ProgramLayout\.NamesTypedInTheWindowSave" \
  || note_failures threads-window build-tsan
if [ -x scripts/fuzz-short.sh ]; then bash scripts/fuzz-short.sh || failed+=("fuzz: see the FAILED lines above"); fi
# The assertion lines of each failed test, so that a log seen only by its tail still says why.
why_failed() {
  local log="$1/Testing/Temporary/LastTest.log" list="$1/Testing/Temporary/LastTestsFailed.log"
  [ -s "$list" ] && [ -s "$log" ] || return 0
  while read -r line; do
    echo "-- ${line#*:} ($1):"
    awk -v name="${line#*:}" '$2 == "Testing:" { inside = ($3 == name) } inside' "$log" |
      grep -E -A4 "Failure$|error:|FATAL|Timeout|Exception" | head -40
  done <"$list"
}
if [ ${#failed[@]} -gt 0 ]; then
  status=1
  for dir in "${failed_dirs[@]}"; do why_failed "$dir"; done
  echo "== Failed:"
  printf '   %s\n' "${failed[@]}"
else
  echo "== Every stage passed."
fi
exit $status
