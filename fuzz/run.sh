#!/usr/bin/env bash
# Builds the hot-key text fuzz target with clang's libFuzzer (natively, with
# AddressSanitizer and UBSan) and runs it. Arguments go to libFuzzer, for example
#   fuzz/run.sh -max_total_time=600
# Without arguments it runs for 20 seconds. The corpus grows in $VL_BUILD/fuzz/corpus.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${VL_BUILD:-$root/build}/fuzz
mkdir -p "$build/corpus"

clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -Wall -Wextra -Werror -I"$root" \
  "$root/fuzz/key_assign_fuzz.cpp" "$root/core/hot_key_text.cpp" "$root/core/key_assign.cpp" \
  "$root/core/text_codec.cpp" "$root/core/text_codec_posix.cpp" \
  -o "$build/key_assign_fuzz"

[ $# -gt 0 ] || set -- -max_total_time=20
"$build/key_assign_fuzz" -dict="$root/fuzz/key_assign.dict" -timeout=5 -print_final_stats=1 \
  -artifact_prefix="$build/" \
  "$@" "$build/corpus"
