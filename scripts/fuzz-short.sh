#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and the sanitizers (build-fuzz/) and runs each one
# for a bounded short time. FUZZ_SECONDS sets the time per target (default 30).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${FUZZ_SECONDS:-30}"
jobs="${FUZZ_JOBS:-2}"

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTESSARO_FUZZ=ON -DTESSARO_SANITIZE=ON -DTESSARO_TESTS=OFF -DTESSARO_BENCH=OFF >/dev/null
targets=(fuzz_remote_line fuzz_patch_objects fuzz_patch_links fuzz_wave)
cmake --build build-fuzz -j"$jobs" --target "${targets[@]}"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
mkdir -p fuzz-artifacts

# Seed folders per target: the checked-in seeds, then the example patches or samples.
seeds_of() {
  case "$1" in
    fuzz_remote_line) echo "fuzz/corpus/fuzz_remote_line" ;;
    fuzz_patch_objects | fuzz_patch_links) echo "KVX" ;;
    fuzz_wave) echo "fuzz/corpus/fuzz_wave $(ls -d KVX/samples 2>/dev/null || true)" ;;
  esac
}
max_len_of() {
  case "$1" in
    fuzz_remote_line) echo 8192 ;;
    fuzz_wave) echo 4096 ;;
    *) echo 32768 ;;
  esac
}

status=0
for t in "${targets[@]}"; do
  corpus="build-fuzz/corpus/$t"
  mkdir -p "$corpus"
  echo "== $t: ${seconds}s"
  # shellcheck disable=SC2046
  if ! ./build-fuzz/fuzz/"$t" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
      -max_len="$(max_len_of "$t")" -close_fd_mask=1 -print_final_stats=1 \
      -artifact_prefix="fuzz-artifacts/$t-" "$corpus" $(seeds_of "$t") </dev/null; then
    echo "== $t FAILED (artifacts in fuzz-artifacts/)"
    status=1
  fi
done
exit $status
