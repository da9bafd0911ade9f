#!/usr/bin/env bash
# Builds a fuzz target with clang's libFuzzer (natively, with AddressSanitizer and UBSan)
# and runs it. The first argument names the target, key_assign (the hot-key text, the
# default) or ini_document (the settings file); the rest go to libFuzzer, for example
#   fuzz/run.sh ini_document -max_total_time=600
# Without libFuzzer arguments it runs for 20 seconds. The corpus grows in
# $VL_BUILD/fuzz/<target>/corpus, starting from fuzz/<target>.corpus/ when there is one.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
target=key_assign
case "${1:-}" in
  key_assign | ini_document) target=$1; shift ;;
esac
build=${VL_BUILD:-$root/build}/fuzz/$target
mkdir -p "$build/corpus"

case $target in
  key_assign) sources=(core/hot_key_text.cpp core/key_assign.cpp) ;;
  ini_document) sources=(core/ini_document.cpp core/ini_values.cpp) ;;
esac
# The code under test with coverage for libFuzzer; the target's own checks without it, so
# that their loops spend no time on it and steer nothing.
flags=(-std=c++20 -g -O2 -fsanitize=address,undefined -fno-sanitize-recover=all
       -Wall -Wextra -Werror -I"$root")
clang++ "${flags[@]}" -c "$root/fuzz/${target}_fuzz.cpp" -o "$build/${target}_fuzz.o"
clang++ "${flags[@]}" -fsanitize=fuzzer \
  "$build/${target}_fuzz.o" "${sources[@]/#/$root/}" \
  "$root/core/text_codec.cpp" "$root/core/text_codec_posix.cpp" \
  -o "$build/${target}_fuzz"

options=(-timeout=5 -print_final_stats=1 -artifact_prefix="$build/")
[ ! -f "$root/fuzz/$target.dict" ] || options+=(-dict="$root/fuzz/$target.dict")
seeds=()
[ ! -d "$root/fuzz/$target.corpus" ] || seeds=("$root/fuzz/$target.corpus")
[ $# -gt 0 ] || set -- -max_total_time=20
"$build/${target}_fuzz" "${options[@]}" "$@" "$build/corpus" "${seeds[@]}"
