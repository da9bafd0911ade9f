#!/usr/bin/env bash
# Builds everything and runs every test: the native tests of core/ under the sanitizers,
# then the Windows tests and the end-to-end scenarios under Wine (Japanese locale, code
# page 932) on an Xvfb display of its own. Installs what it needs; safe to run again.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

build=${VL_BUILD:-$root/build}

tools/install-deps.sh
tools/build.sh all

source tools/xvfb.sh
export VL_WINEPREFIX="$build/win/wineprefix"
trap stop_xvfb EXIT
start_xvfb
# Make the Wine prefix before the clock of any test starts.
tools/wine-run cmd /c exit >/dev/null 2>&1 || true

status=0
ctest --test-dir "$build/native" -j "$(nproc)" --output-on-failure 2>&1 | tee "$build/native-tests.log" || status=1
# The hot-key text parser and the settings file under libFuzzer, briefly; fuzz/run.sh alone
# runs them for longer.
for target in key_assign ini_document; do
  if fuzz/run.sh $target -max_total_time=20 >"$build/fuzz-$target.log" 2>&1; then
    echo "fuzz $target: $(grep -E '^(Done|stat::number_of_executed_units)' "$build/fuzz-$target.log" | tr '\n' ' ')"
  else
    tail -n 40 "$build/fuzz-$target.log"
    status=1
  fi
done
# One at a time: the Windows tests share one desktop, its focus and its hot keys.
ctest --test-dir "$build/win" --output-on-failure 2>&1 | tee "$build/win-tests.log" || status=1

passed=0 failed=0
for log in "$build/native-tests.log" "$build/win-tests.log"; do
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1 || true)
  if [ -z "$line" ]; then
    status=1
    continue
  fi
  f=$(sed -E 's/.*passed, ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
  t=$(sed -E 's/.*failed out of ([0-9]+).*/\1/' <<<"$line")
  passed=$((passed + t - f)) failed=$((failed + f))
done
echo "$passed passed, $failed failed"
exit $status
