#!/usr/bin/env python3
"""Plants one small fault at a time in the program's sources and runs the tests that cover
each file: a mutant the tests pass with is a fault they would not see.

    tools/mutate.py [PATH...] [--base REV] [--max-mutants N] [--minutes M] [--seed S]
                    [--only ID...] [--rerun-survivors FILE] [--list] [--json FILE]

PATHs are files or folders (their .cpp files); without them, the .cpp files changed since
--base (default HEAD~1), and then only their changed lines. The faults: a comparison turned
or made inclusive, a condition negated or one side of it dropped, a statement removed, two
arguments or two settings keys swapped, a constant changed by one, an early return added.
The sample is spread over the files and fixed by --seed. Each mutant is built
incrementally (only the covering tests' targets), tested, and the file restored; a mutant
that does not build counts neither way. A test over its time limit kills the mutant.

The file is restored in a finally clause, on SIGINT/SIGTERM/SIGHUP, and at the next start
from the saved copy in build/mutate-saved/ (then touched, so that the next build compiles
it again). Windows tests run under Wine in the build tree's prefix on an Xvfb display of
the script's own; core/ is tested natively (build/native).
"""
import argparse
import json
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
BUILD = Path(os.environ.get("VL_BUILD", ROOT / "build"))
WIN, NATIVE = BUILD / "win", BUILD / "native"
SAVED = BUILD / "mutate-saved"

# The main window and its rooms. The hide key without modifiers lives in a filter of the
# message loop, which leaves Esc to the drag of a button; the launcher's keys and type to
# find are walked only by the shipped program's scenario. The interleaving harness brings
# every event to every place where the launcher waits on the user.
MAIN_WINDOW_TESTS = ["page", "frm_main", "dialogs", "e2e_hide_key", "button_move", "e2e_move", "e2e_keyboard",
                     "interleaving", "outside_change"]

# Which CTest entries cover a file: the entry named after the file's stem (page_control for
# gui/page_control.cpp) first, then those of the first row whose prefix the path starts with.
# core/ runs every native entry (they take seconds).
COVER = [
    # The Windows half of core/ is built in the Windows tree only.
    ("core/file_io_win32", ["core_tests", "ini_lock", "io_failure", "ini_kill", "outside_change"]),
    ("core/text_codec_win32", ["core_tests", "ini_differential"]),
    ("core/", "native"),
    *[(room, MAIN_WINDOW_TESTS) for room in ["app/frm_main", "app/page_set", "app/keyboard_grid",
                                           "app/launcher_search", "app/shake_watch",
                                           "app/show_hide_keys", "app/file_takeover"]],
    ("app/main.cpp", ["e2e_launcher", "e2e_dialogs"]),
    # The input method in type to find: its composition on a real window, and at every place
    # where the launcher waits.
    ("app/search_ime", ["frm_main", "interleaving", "e2e_keyboard"]),
    # The move of a button: the drag harness, then the failure and kill harnesses.
    ("app/button_move", ["button_move", "page", "frm_main"]),
    # A whole page opened: its launches, and its question against every event.
    ("app/open_all", ["launch_options", "interleaving"]),
    # Another program's change of the file: taken up, and never written over.
    ("app/", ["page", "frm_main", "dialogs", "button_move", "outside_change", "io_failure"]),
    # The main window's test takes the dialog's OK back with 「元に戻す」.
    ("buttons/frm_btn_option", ["dialogs", "launch_options", "frm_main"]),
    # How a button starts, and the keys it carries: the launch, the file's ways, the failures.
    ("buttons/stored_button", ["launch_options", "page", "io_failure", "dialogs"]),
    ("buttons/launch_btn", ["buttons", "launch_options", "page"]),
    ("buttons/shell_helpers", ["buttons", "launch_options"]),
    ("buttons/glyph_cache", ["buttons", "launch_options"]),
    ("buttons/", ["buttons", "page", "dialogs"]),
    # The main window's test opens the settings and page dialogs on a file held at start.
    ("dialogs/", ["dialogs", "frm_main", "outside_change"]),
    ("showhide/", ["tray_icon", "wait_hot_key"]),
    # The plumbing beneath the windows (dll_search and foreground have entries of their own
    # name): the main window's test walks the mouse watch's raw input, the start marks and
    # the window count; the button and page tests the worker threads and the COM scopes;
    # the dialogs test the version resource; the hot-key test the session notices.
    ("gui/platform/session_notification", ["wait_hot_key", "frm_main"]),
    ("gui/platform/", ["frm_main", "buttons", "page", "dialogs", "dialog_form"]),
    ("gui/drag_tracker", ["button_move", "page", "buttons"]),
    # What a screen reader hears is read back from another process.
    ("gui/accessible_button", ["e2e_keyboard", "buttons"]),
    ("gui/accessible_window", ["search_voice", "e2e_keyboard", "buttons"]),
    ("gui/live_text", ["search_voice", "e2e_keyboard", "frm_main"]),
    # The shell's drop: in-process DoDragDrop, and files dropped from the X side through it.
    ("gui/shell_drop", ["launch_options", "e2e_multi_drop", "e2e_long_path_drop"]),
    ("gui/drop_down_list", ["launch_options", "dialogs"]),
    ("gui/", ["dialog_form", "page", "frm_main", "buttons", "dialogs", "button_move"]),
]
# Settings keys a slip of the hand could exchange.
KEY_PAIRS = [("kYoko", "kTate"), ("kBtnW", "kBtnH"), ("kFormTop", "kFormLeft"),
             ("kShowHotKey", "kHideHotKey"), ("kShakeTime", "kShakeSpeed"),
             ("kAskBeforeDelBtn", "kAskBeforeDelPage"), ("kFontName", "kFontColor")]
COMPARE = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}


# ---- planting -------------------------------------------------------------------------

def code_mask(line):
    """The line with string and character literals and the // comment blanked out, so that
    the patterns below see code only; the columns stay those of the line."""
    out, i, quote = [], 0, None
    while i < len(line):
        c = line[i]
        if quote:
            if c == "\\":
                out.append("  ")
                i += 2
                continue
            if c == quote:
                quote = None
                out.append(c)
            else:
                out.append(" ")
        elif c in "\"'":
            quote = c
            out.append(c)
        elif line.startswith("//", i):
            out.append(" " * (len(line) - i))
            break
        else:
            out.append(c)
        i += 1
    return "".join(out)[: len(line)]


def matching_paren(mask, start):
    depth = 0
    for i in range(start, len(mask)):
        if mask[i] == "(":
            depth += 1
        elif mask[i] == ")":
            depth -= 1
            if depth == 0:
                return i
    return -1


def top_level_split(mask, begin, end, seps):
    """Positions of the separators in mask[begin:end] outside brackets."""
    depth, found = 0, []
    i = begin
    while i < end:
        c = mask[i]
        if c in "([{":
            depth += 1
        elif c in ")]}":
            depth -= 1
        elif depth == 0:
            for s in seps:
                if mask.startswith(s, i):
                    found.append((i, s))
                    i += len(s) - 1
                    break
        i += 1
    return found


PARAMETER = re.compile(r"^(const\s+)?[\w:<>]+[\s&*]+\w+$")
DECL_START = re.compile(r"^\s*(const\s+|static\s+|auto\s|[\w:]+(<[^;]*>)?[\s*&]+\w+\s*[=({;])")


def mutants_of_line(line, mask):
    """Every (description, new line) this line offers."""
    out = []
    stripped = mask.strip()
    if not stripped or stripped.startswith("#") or stripped.startswith("*"):
        return out
    # Comparisons between spaced operands (templates and shifts are written unspaced).
    for m in re.finditer(r"(?<=\s)(<=|>=|==|!=|<|>)(?=\s)", mask):
        op = m.group(1)
        out.append((f"'{op}' -> '{COMPARE[op]}'", line[: m.start()] + COMPARE[op] + line[m.end():]))
    # Conditions: negated, or one side of a top-level && / || dropped.
    for m in re.finditer(r"\b(if|while)\s*\(", mask):
        open_ = m.end() - 1
        close = matching_paren(mask, open_)
        if close < 0:
            continue
        cond = line[open_ + 1: close]
        if cond.startswith("auto ") or ";" in mask[open_:close]:
            continue
        out.append((f"{m.group(1)} condition negated",
                    line[: open_ + 1] + "!(" + cond + ")" + line[close:]))
        for pos, sep in top_level_split(mask, open_ + 1, close, [" && ", " || "]):
            left, right = line[open_ + 1: pos], line[pos + len(sep): close]
            out.append((f"'{sep.strip()} {right.strip()[:40]}' dropped", line[: open_ + 1] + left + line[close:]))
            out.append((f"'{left.strip()[:40]} {sep.strip()}' dropped", line[: open_ + 1] + right + line[close:]))
            break
    # A statement removed: a call or an assignment standing alone on its line.
    if (stripped.endswith(";") and mask.count("(") == mask.count(")") and not DECL_START.match(mask) and
            not re.match(r"^(return|break|continue|case|default|goto|using|namespace|throw|delete)\b", stripped) and
            re.match(r"^[\w:.\->\[\]()*]+\s*(\(|[-+*/|&]?=\s)", stripped) and
            top_level_split(mask, 0, len(mask), [";"])[-1:] and len(top_level_split(mask, 0, len(mask), [";"])) == 1):
        indent = line[: len(line) - len(line.lstrip())]
        out.append(("statement removed", indent + ";  // mutant: removed"))
    # Two arguments of a call swapped (two plain arguments only).
    for m in re.finditer(r"\b\w+\(", mask):
        open_ = m.end() - 1
        close = matching_paren(mask, open_)
        if close < 0:
            continue
        commas = top_level_split(mask, open_ + 1, close, [","])
        if len(commas) != 1:
            continue
        a, b = line[open_ + 1: commas[0][0]].strip(), line[commas[0][0] + 1: close].strip()
        if any(PARAMETER.match(x) for x in (a, b)):
            continue  # a declaration's parameters, not a call's arguments
        if a and b and a != b and "\"" not in a + b and len(a) < 40 and len(b) < 40:
            out.append((f"arguments '{a}', '{b}' swapped", line[: open_ + 1] + b + ", " + a + line[close:]))
    # A settings key exchanged for its partner.
    for x, y in KEY_PAIRS:
        for k, other in ((x, y), (y, x)):
            for m in re.finditer(rf"\b{k}\b(?!Default)", mask):
                out.append((f"key {k} -> {other}", line[: m.start()] + other + line[m.end():]))
    # A constant changed by one (not in an array bound, not part of a name or a float), but
    # not in a row of a table of numbers (a layout's pixels): design data, not logic.
    numbers = list(re.finditer(r"(?<![\w.])(\d+)(?![\w.\]])", mask))
    for m in numbers if len(numbers) < 3 else []:
        n = int(m.group(1))
        new = n + 1 if n == 0 else n - 1
        out.append((f"{n} -> {new}", line[: m.start()] + str(new) + line[m.end():]))
    return out


FUNC_OPEN = re.compile(r"^(void|bool)\s+[\w:~]+\([^;]*\)\s*(const\s*)?(noexcept\s*)?\{\s*$")


def mutants_of_file(rel, lines, allowed):
    """All mutants of a file: (id, line number, description, new line or None for an added
    return, text added after the line)."""
    result = []
    for no, line in enumerate(lines, 1):
        if allowed is not None and no not in allowed:
            continue
        mask = code_mask(line)
        found = mutants_of_line(line, mask)
        m = FUNC_OPEN.match(mask)
        if m:
            ret = "return;" if m.group(1) == "void" else "return false;"
            found.append((f"early '{ret}' added", line + " " + ret + "  // mutant"))
        for k, (desc, new) in enumerate(found):
            result.append({"id": f"{rel}:{no}:{k}", "file": rel, "line": no, "change": desc, "new": new})
    return result


# ---- files, lines, sample -------------------------------------------------------------

def git(*args):
    return subprocess.run(["git", *args], cwd=ROOT, check=True, capture_output=True, text=True).stdout


def changed_lines(base, rel):
    lines = set()
    for m in re.finditer(r"^@@ -\S+ \+(\d+)(?:,(\d+))? @@", git("diff", "-U0", base, "--", rel), re.M):
        start, count = int(m.group(1)), int(m.group(2) or 1)
        lines.update(range(start, start + count))
    return lines


def pick_files(args):
    if not args.paths:
        names = git("diff", "--name-only", args.base or "HEAD~1", "--").split()
        return [n for n in names if n.endswith(".cpp") and covering(n) and (ROOT / n).exists()]
    files = []
    for p in args.paths:
        path = (ROOT / p).resolve()
        found = sorted(path.rglob("*.cpp")) if path.is_dir() else [path]
        files += [str(f.relative_to(ROOT)) for f in found if covering(str(f.relative_to(ROOT)))]
    return sorted(set(files))


def sample(all_mutants, files, count, seed):
    """Round robin over the folders, and within each over its files in a shuffled order,
    one random mutant of each file in turn: the sample is spread over the folders and the
    files whatever their sizes."""
    rng = random.Random(seed)
    pools = {f: [m for m in all_mutants if m["file"] == f] for f in files}
    folders = {}
    for f in files:
        if pools[f]:
            folders.setdefault(str(Path(f).parent), []).append(f)
    for queue in folders.values():
        rng.shuffle(queue)
    picked = []
    while folders and len(picked) < count:
        for folder in sorted(folders):
            if len(picked) >= count:
                break
            queue = folders[folder]
            f = queue.pop(0)
            picked.append(pools[f].pop(rng.randrange(len(pools[f]))))
            if pools[f]:
                queue.append(f)
            if not queue:
                del folders[folder]
    return picked


# ---- covering tests and the build ------------------------------------------------------

_ctest = {}


def ctest_entries(tree):
    if tree not in _ctest:
        if not (tree / "build.ninja").exists():
            sys.exit(f"{tree} is not configured: run tools/build.sh {tree.name} once")
        out = subprocess.run(["ctest", "--test-dir", str(tree), "--show-only=json-v1"],
                             capture_output=True, text=True, check=True).stdout
        _ctest[tree] = {t["name"]: t.get("command", []) for t in json.loads(out)["tests"]}
    return _ctest[tree]


def covering(rel):
    for prefix, tests in COVER:
        if rel.startswith(prefix):
            if tests == "native":
                return "native"
            stem = Path(rel).stem
            return ([stem] if stem not in tests else []) + tests
    return None


def tests_for(rel):
    cover = covering(rel)
    if cover == "native":
        ctest_entries(NATIVE)
        return NATIVE, None
    known = ctest_entries(WIN)
    return WIN, [t for t in cover if t in known]


def targets_for(tree, tests):
    if tests is None:
        return ["core_tests"]
    targets = set()
    for name in tests:
        for arg in ctest_entries(tree)[name]:
            if arg.endswith(".exe") and str(tree) in arg:
                targets.add(Path(arg).stem)
            if arg.rstrip("/").endswith("dist"):
                targets.add("RavariVudovi")
    return sorted(targets)


def build(tree, targets):
    r = subprocess.run(["cmake", "--build", str(tree), "--target", *targets],
                       capture_output=True, text=True)
    return r.returncode == 0, r.stdout[-2000:] + r.stderr[-2000:]


class Runner:
    """Runs CTest entries one at a time, the first failure ending the run; each entry is
    limited to a multiple of its time on the unchanged sources."""

    def __init__(self, factor, floor):
        self.factor, self.floor = factor, floor
        self.baseline, self.broken = {}, set()

    def run_one(self, tree, regex, limit):
        start = time.monotonic()
        p = subprocess.Popen(["ctest", "--test-dir", str(tree), "-R", regex, "-j", "2",
                              "--stop-on-failure", "--output-on-failure"], stdout=subprocess.PIPE,
                             stderr=subprocess.STDOUT, text=True, start_new_session=True)
        try:
            out, _ = p.communicate(timeout=limit)
        except subprocess.TimeoutExpired:
            stop(p)
            return "timeout", time.monotonic() - start, ""
        except BaseException:
            stop(p)  # stopped by a signal: the tests go too
            raise
        # The failing case of a GoogleTest executable, or else the CTest entry.
        failed = re.findall(r"^\[  FAILED  \] (\w+\.\w+)", out, re.M) or \
            re.findall(r"^\s*\d+ - (\S+) \(", out, re.M)
        return ("fail" if p.returncode else "pass"), time.monotonic() - start, (failed[0] if failed else "")

    def verdict(self, tree, tests):
        """(killed by, or None) for the sources as they are now."""
        for name, regex in self.entries(tree, tests):
            if name not in self.baseline:
                continue  # fails on the unchanged sources: no judge
            limit = max(self.floor, self.factor * self.baseline[name])
            status, _, which = self.run_one(tree, regex, limit)
            if status == "timeout":
                return f"{name} (timeout {limit:.0f}s)"
            if status == "fail":
                return f"{name}: {which}" if which and which != name else name
        return None

    def entries(self, tree, tests):
        if tests is None:
            return [("native", ".")]
        return [(t, f"^{re.escape(t)}$") for t in tests]

    def unmeasured(self, tree, tests):
        return [(n, r) for n, r in self.entries(tree, tests)
                if n not in self.baseline and n not in self.broken]

    def measure(self, tree, tests, log):
        for name, regex in self.unmeasured(tree, tests):
            status, took, _ = self.run_one(tree, regex, 900)
            if status == "pass":
                self.baseline[name] = took
                log(f"  baseline {name}: passes in {took:.0f}s", flush=True)
            else:
                self.broken.add(name)
                log(f"  baseline {name}: {status} on the unchanged sources; not used as a judge",
                    flush=True)


def stop(process):
    os.killpg(process.pid, signal.SIGKILL)
    process.communicate()
    wine_kill()


def wine_kill():
    subprocess.run(["wineserver", "-k"], env={**os.environ, "WINEPREFIX": str(WIN / "wineprefix")},
                   capture_output=True)


# ---- restoring ------------------------------------------------------------------------

def save(rel):
    SAVED.mkdir(parents=True, exist_ok=True)
    shutil.copy2(ROOT / rel, SAVED / "file")
    (SAVED / "name").write_text(rel)


def restore():
    """Puts back a file a mutant replaced (also one left by a run that was killed), and
    touches it: its objects were compiled from the mutant."""
    name = SAVED / "name"
    if not name.exists():
        return
    # No signal between putting the file back and forgetting the copy.
    old = signal.pthread_sigmask(signal.SIG_BLOCK, {signal.SIGINT, signal.SIGTERM, signal.SIGHUP})
    try:
        rel = name.read_text()
        if (SAVED / "file").exists():
            os.replace(SAVED / "file", ROOT / rel)
        os.utime(ROOT / rel)
        name.unlink()
    finally:
        signal.pthread_sigmask(signal.SIG_SETMASK, old)


def on_signal(signum, _frame):
    raise KeyboardInterrupt(f"signal {signum}")


# ---- main -----------------------------------------------------------------------------

def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("paths", nargs="*", help="files or folders (default: changed since --base)")
    ap.add_argument("--base", help="only the lines changed since this commit")
    ap.add_argument("--max-mutants", type=int, default=20)
    ap.add_argument("--minutes", type=float, default=60, help="start no mutant after this")
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--only", nargs="+", metavar="ID", help="these mutants (file:line:k)")
    ap.add_argument("--rerun-survivors", metavar="FILE",
                    help="a --json of an earlier run: run its survivors again, keep the rest")
    ap.add_argument("--list", action="store_true", help="print the sample, run nothing")
    ap.add_argument("--json", metavar="FILE", help="write the results here")
    ap.add_argument("--timeout-factor", type=float, default=3.0)
    ap.add_argument("--timeout-floor", type=float, default=60.0)
    args = ap.parse_args()

    for s in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        signal.signal(s, on_signal)
    restore()

    kept = []
    if args.rerun_survivors:
        earlier = json.loads(Path(args.rerun_survivors).read_text())
        kept = [m for m in earlier if m["result"] != "survived"]
        args.only = [m["id"] for m in earlier if m["result"] == "survived"]
    files = sorted({i.split(":")[0] for i in args.only}) if args.only else pick_files(args)
    mutants = []
    for rel in files:
        allowed = changed_lines(args.base, rel) if args.base and not args.only else None
        mutants += mutants_of_file(rel, (ROOT / rel).read_text().split("\n"), allowed)
    if args.only:
        chosen = [m for m in mutants if m["id"] in args.only]
        missing = set(args.only) - {m["id"] for m in chosen}
        if missing:
            sys.exit(f"no such mutant: {', '.join(sorted(missing))}")
    else:
        chosen = sample(mutants, files, args.max_mutants, args.seed)
    print(f"{len(chosen)} mutants from {len(mutants)} in {len(files)} files (seed {args.seed})", flush=True)
    if args.list:
        for m in chosen:
            print(f"{m['id']:40} {m['change']}")
        return 0

    xvfb_pid = None
    if any(tests_for(m["file"])[0] == WIN for m in chosen):
        os.environ["VL_WINEPREFIX"] = str(WIN / "wineprefix")
        out = subprocess.run(["bash", "-c", f"source '{ROOT}/tools/xvfb.sh' && start_xvfb >&2 && "
                              "echo $DISPLAY $VL_XVFB_PID"], capture_output=True, text=True, check=True)
        display, xvfb_pid = out.stdout.split()
        os.environ["DISPLAY"] = display
    deadline = time.monotonic() + args.minutes * 60
    runner = Runner(args.timeout_factor, args.timeout_floor)
    results = list(kept)
    stopped = False
    try:
        for m in chosen:
            if time.monotonic() > deadline:
                print(f"time is up: {len(chosen) - len(results) + len(kept)} mutants not run")
                break
            tree, tests = tests_for(m["file"])
            targets = targets_for(tree, tests)
            if runner.unmeasured(tree, tests):
                ok, log = build(tree, targets)  # the unchanged sources: the baseline
                if not ok:
                    sys.exit("the unchanged sources do not build:\n" + log)
                runner.measure(tree, tests, print)
            started = time.monotonic()
            path = ROOT / m["file"]
            lines = path.read_text().split("\n")
            save(m["file"])
            try:
                lines[m["line"] - 1] = m["new"]
                path.write_text("\n".join(lines))
                built, _ = build(tree, targets)
                by = runner.verdict(tree, tests) if built else None
            finally:
                restore()
            result = "did not build" if not built else ("killed" if by else "survived")
            m.update(result=result, by=by or "", seconds=round(time.monotonic() - started))
            results.append(m)
            print(f"{m['file']}:{m['line']}  {m['change']}  {result}"
                  f"{' by ' + by if by else ''}  ({m['seconds']}s)  [{m['id']}]", flush=True)
    except KeyboardInterrupt as e:
        print(f"stopped ({e}); the file is restored")
        stopped = True
    finally:
        restore()
        if xvfb_pid:
            wine_kill()
            os.kill(int(xvfb_pid), signal.SIGTERM)
    killed = sum(r["result"] == "killed" for r in results)
    survived = sum(r["result"] == "survived" for r in results)
    unbuilt = sum(r["result"] == "did not build" for r in results)
    print(f"\n{'mutant':44} {'change':44} result")
    for r in results:
        print(f"{r['file'] + ':' + str(r['line']):44} {r['change'][:44]:44} {r['result']}"
              f"{' by ' + r['by'] if r['by'] else ''}")
    judged = killed + survived
    print(f"score: {killed}/{judged} killed ({100 * killed / judged if judged else 0:.0f} %), "
          f"{survived} survived, {unbuilt} did not build")
    if args.json:
        Path(args.json).write_text(json.dumps(results, indent=1, ensure_ascii=False))
    return 2 if stopped else 0 if survived == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
