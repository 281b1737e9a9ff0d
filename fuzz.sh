#!/usr/bin/env bash
# libFuzzer targets for every reader of outside input (clang, AddressSanitizer and UBSan).
#   ./fuzz.sh --list            the target names
#   ./fuzz.sh NAME SECONDS      builds and runs one target for SECONDS
#   ./fuzz.sh --all SECONDS     every target in turn, SECONDS each
#   ./fuzz.sh --check           builds every target and runs each over its seeds once (for CI)
#   ./fuzz.sh --coverage        source coverage of each target's seeds and found corpus (llvm-cov)
# Seeds are read from fuzz/corpus/NAME/ (never written); what a run finds new is kept in
# build-fuzz/corpus/NAME/, and an input that fails is saved in build-fuzz/findings/NAME/.
set -euo pipefail
cd "$(dirname "$0")"

names() { for f in fuzz/targets/*.cpp; do basename "$f" .cpp; done; }
usage() { sed -n '2,9p' "$0" | sed 's/^# \{0,1\}//'; exit 2; }

[ $# -ge 1 ] || usage
if [ "$1" = --list ]; then
  names
  exit 0
fi

build() {
  ./tools/install-deps.sh
  if [ ! -f build-fuzz/build.ninja ]; then
    cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
          -DVENDARO_FUZZ=ON -DVENDARO_BUILD_UI=OFF -DVENDARO_BUILD_BENCH=OFF -DVENDARO_WERROR=ON >/dev/null
  fi
  nice -n 10 cmake --build build-fuzz --target "${@/#/fuzz_}"
}

run() {
  local name=$1 seconds=$2
  local work=build-fuzz/corpus/$name findings=build-fuzz/findings/$name
  mkdir -p "$work" "$findings"
  local args=(-max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$findings/" -timeout=10)
  [ -f "fuzz/dict/$name.dict" ] && args+=(-dict="fuzz/dict/$name.dict")
  echo "== $name, $seconds s"
  "build-fuzz/fuzz/fuzz_$name" "${args[@]}" "$work" "fuzz/corpus/$name"
}

# The source files each target reads, for its coverage figures.
declare -A sources=(
  [era_date]="src/book/eradate.cpp"
  [filter]="src/platform/table/filter.cpp"
  [settings]="src/platform/settings_file.cpp src/platform/user_registry.cpp src/app/main_settings.cpp
              src/formprint/layout_list.cpp src/formprint/printer_settings.cpp src/prefs/company_info.cpp
              src/prefs/title_colors.cpp src/prefs/window_placement.cpp src/book/find.cpp src/book/field_lists.cpp
              src/book/display_pattern.cpp src/pricing/tax_rate.cpp src/pricing/pick_lists.cpp
              src/pricing/reference_tables.cpp src/listprint/list_settings.cpp"
  [item_language]="src/formprint/item_language.cpp"
  [char_convert]="src/formprint/char_convert.cpp src/book/eradate.cpp"
  [sjis]="src/platform/sjis.cpp"
  [table_file]="src/platform/table/cursor.cpp"
  [csv_restore]="src/maintenance/restore.cpp src/maintenance/file_names.cpp"
  [postal_import]="src/entry/postal.cpp"
  [half_kana]="src/entry/kana.cpp"
)

if [ "$1" = --coverage ]; then
  ./tools/install-deps.sh
  mapfile -t all < <(names)
  if [ ! -f build-fuzz-cov/build.ninja ]; then
    cmake -S . -B build-fuzz-cov -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
          -DVENDARO_FUZZ=ON -DVENDARO_FUZZ_COVERAGE=ON -DVENDARO_BUILD_UI=OFF -DVENDARO_BUILD_BENCH=OFF >/dev/null
  fi
  nice -n 10 cmake --build build-fuzz-cov --target "${all[@]/#/fuzz_}"
  for name in "${all[@]}"; do
    mkdir -p "build-fuzz/corpus/$name"
    LLVM_PROFILE_FILE="build-fuzz-cov/$name.profraw" "build-fuzz-cov/fuzz/fuzz_$name" -runs=0 \
      "build-fuzz/corpus/$name" "fuzz/corpus/$name" >/dev/null 2>&1
    llvm-profdata-14 merge -o "build-fuzz-cov/$name.profdata" "build-fuzz-cov/$name.profraw"
    echo "== $name"
    # shellcheck disable=SC2086
    llvm-cov-14 report "build-fuzz-cov/fuzz/fuzz_$name" -instr-profile="build-fuzz-cov/$name.profdata" \
      ${sources[$name]} | sed -n '3,$p'
  done
  exit 0
fi

if [ "$1" = --check ]; then
  mapfile -t all < <(names)
  build "${all[@]}"
  for name in "${all[@]}"; do
    echo "== $name: seeds"
    "build-fuzz/fuzz/fuzz_$name" -runs=0 "fuzz/corpus/$name" 2>&1 | tail -1
  done
  exit 0
fi

if [ "$1" = --all ]; then
  [ $# -eq 2 ] || usage
  mapfile -t all < <(names)
  build "${all[@]}"
  for name in "${all[@]}"; do run "$name" "$2"; done
  exit 0
fi

[ $# -eq 2 ] || usage
names | grep -x "$1" >/dev/null || { echo "fuzz.sh: no target named $1 (./fuzz.sh --list)" >&2; exit 2; }
build "$1"
run "$1" "$2"
