#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer + UndefinedBehaviorSanitizer) in
# build-fuzz/ and runs each for a fixed time:
#   scripts/fuzz.sh short [TARGET...]   30 s per target (CI)
#   scripts/fuzz.sh long [TARGET...]    5 min per target (FUZZ_SECONDS overrides either)
# TARGET is a name such as bmp or skin_folder; all targets run when none is given.
# The seeds under fuzz/corpus/<target>/ are only read; what the fuzzer finds is kept in
# build-fuzz/corpus/<target>/ for the next run. A crash, leak, timeout or memory blow-up fails
# the script (exit 1) once every target has run; the input is written to build-fuzz/artifacts/.
# The last line counts the targets: "fuzz: N passed, N failed".
# Without clang and its fuzzer runtime the script says so and exits 0.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=${1:-short}
case "$mode" in
  short) seconds=${FUZZ_SECONDS:-30} ;;
  long) seconds=${FUZZ_SECONDS:-300} ;;
  *)
    echo "usage: scripts/fuzz.sh [short|long] [TARGET...]" >&2
    exit 2
    ;;
esac
shift || true

# Target, longest input, dictionary. The lengths keep each run at thousands of inputs a
# second; the seeds are cut to them.
all_targets=(
  "bmp 4096 -"
  "jpeg 8192 -"
  "png 4096 -"
  "layout 4096 layout.dict"
  "options 1024 options.dict"
  "skin_folder 2048 options.dict"
  "common_sections 2048 options.dict"
  "skin_text 512 options.dict"
  "rom 4096 -"
)
targets=()
if (($#)); then
  for want in "$@"; do
    found=
    for t in "${all_targets[@]}"; do [[ ${t%% *} == "$want" ]] && targets+=("$t") && found=1; done
    [[ -n $found ]] || { echo "fuzz: no target named $want" >&2; exit 2; }
  done
else
  targets=("${all_targets[@]}")
fi

probe_dir=$(mktemp -d)
trap 'rm -rf "$probe_dir"' EXIT
echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }' >"$probe_dir/probe.cpp"
if ! command -v clang++ >/dev/null 2>&1 ||
   ! clang++ -fsanitize=fuzzer,address,undefined "$probe_dir/probe.cpp" -o "$probe_dir/probe" >/dev/null 2>&1; then
  echo "fuzz: clang++ with libFuzzer is not available (Debian packages clang and libclang-rt-dev); skipped"
  exit 0
fi

build=build-fuzz
if [[ ! -f $build/CMakeCache.txt ]]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DMARUK_FUZZ=ON -DMARUK_TESTS=OFF -DMARUK_BENCH=OFF >/dev/null
fi
echo "fuzz: building the targets"
cmake --build "$build" --target fuzz_targets -j "$(nproc 2>/dev/null || echo 2)" 2>&1 |
  { grep -v -E '^\[ *[0-9]+%\]|^Consolidate compiler generated dependencies|^gmake|Built target' || true; }

mkdir -p "$build/artifacts" "$build/logs"
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
failed=()
printf 'fuzz: %s, %d s per target\n' "$mode" "$seconds"
for t in "${targets[@]}"; do
  read -r name max_len dict <<<"$t"
  work="$build/corpus/$name"
  mkdir -p "$work"
  args=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len="$max_len" -print_final_stats=1
        -artifact_prefix="$build/artifacts/$name-")
  [[ $dict == - ]] || args+=(-dict="fuzz/$dict")
  log="$build/logs/$name.log"
  status=0
  "$build/fuzz/fuzz_$name" "${args[@]}" "$work" "fuzz/corpus/$name" >"$log" 2>&1 || status=$?
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
  if ((status == 0)); then
    printf '  %-16s %12s executions  %8s/s  ok\n' "$name" "${execs:-?}" "${rate:-?}"
  else
    printf '  %-16s %12s executions  %8s/s  FAILED (exit %d), log: %s\n' "$name" "${execs:-?}" "${rate:-?}" "$status" "$log"
    grep -E '^==[0-9]+==ERROR|^SUMMARY|runtime error|Test unit written|ALARM|out-of-memory|Timeout' "$log" | head -n 8 | sed 's/^/    /'
    failed+=("$name")
  fi
done
echo "fuzz: $((${#targets[@]} - ${#failed[@]})) passed, ${#failed[@]} failed"
((${#failed[@]} == 0)) || exit 1
