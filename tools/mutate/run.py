#!/usr/bin/env python3
"""Mutation testing: does the test suite notice a plausible fault?

    python3 tools/mutate/run.py [--list FILE] [--only NAME ...] [--scratch DIR]
                                [--timeout SECONDS] [--jobs N]

Each mutant of the list (tools/mutate/mutants.txt by default) names a file,
a piece of its text that occurs exactly once, the replacement, and what the
change breaks. The tree is copied to a scratch folder and built once; then
each mutant in turn is applied, the build brought up to date and the tests
run. A mutant whose build or tests fail is killed; one that passes survived,
and a survivor is either a missing test or an equivalent change (explain it
in the list). Mutants marked "check: tsan" are judged by the typist's stress
test under ThreadSanitizer instead of the whole suite.

The score and the survivors are printed at the end; the exit status is 0
when every mutant was killed. This takes long (a build and a test run per
mutant) and is not part of CI: run it before resolving a change to the engine
or the pipeline, and keep the list current as the code moves.
"""

import argparse
import os
import shutil
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
FIELDS = ("name", "file", "from", "to", "breaks", "check")


class ListError(Exception):
    pass


def read_mutants(path):
    """Blocks of "key: value" lines separated by blank lines; # starts a
    comment line. A value may continue on lines indented by two spaces."""
    mutants, current, key = [], {}, None
    lines = path.read_text(encoding="utf-8").splitlines() + [""]
    for number, line in enumerate(lines, 1):
        if line.startswith("#"):
            continue
        if not line.strip():
            if current:
                mutants.append(current)
            current, key = {}, None
            continue
        if line.startswith("  ") and key:
            current[key] += "\n" + line[2:]
            continue
        key, sep, value = line.partition(": ")
        if not sep or key not in FIELDS:
            raise ListError(f"{path}:{number}: expected one of {', '.join(FIELDS)}")
        current[key] = value
    for m in mutants:
        missing = [f for f in ("name", "file", "from", "to", "breaks") if f not in m]
        if missing:
            raise ListError(f"mutant {m.get('name', '?')}: missing {', '.join(missing)}")
    names = [m["name"] for m in mutants]
    if len(names) != len(set(names)):
        raise ListError("mutant names must be unique")
    return mutants


def run(command, cwd, timeout=None):
    """(exit status, standard output); a run past its time is "timeout"."""
    try:
        done = subprocess.run(command, cwd=cwd, timeout=timeout, stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL, text=True, errors="replace")
        return done.returncode, done.stdout
    except subprocess.TimeoutExpired:
        return "timeout", ""


def failed_tests(ctest_output):
    """The names ctest lists as failed ("  5 - name (Failed)")."""
    names = []
    for line in ctest_output.splitlines():
        number, dash, rest = line.strip().partition(" - ")
        if dash and number.isdigit() and rest.endswith(")") and " (" in rest:
            names.append(rest.rsplit(" (", 1)[0])
    return names


def copy_tree(scratch):
    """The tracked and new files of the working tree, without build output."""
    files = subprocess.run(["git", "ls-files", "-z", "--cached", "--others", "--exclude-standard"],
                           cwd=ROOT, check=True, capture_output=True).stdout.split(b"\0")
    for name in filter(None, files):
        relative = Path(os.fsdecode(name))
        if relative.parts[0] == "build" or not (ROOT / relative).is_file():
            continue
        target = scratch / relative
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copy2(ROOT / relative, target)


class Build:
    def __init__(self, source, folder, options, targets, tests, jobs):
        self.source, self.folder = source, folder
        self.options, self.targets, self.tests, self.jobs = options, targets, tests, jobs

    def configure(self):
        command = ["cmake", "-S", str(self.source), "-B", str(self.folder), "-G", "Ninja"]
        command += [f"-D{o}" for o in self.options]
        if shutil.which("ccache"):
            command.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
        return run(command, self.source)[0] == 0

    def build(self, timeout):
        command = ["cmake", "--build", str(self.folder), "-j", str(self.jobs)]
        for t in self.targets:
            command += ["--target", t]
        return run(command, self.source, timeout)[0] == 0

    def test(self, timeout):
        """The names of the failed tests: empty when all passed."""
        command = ["ctest", "--test-dir", str(self.folder), "-j", str(self.jobs),
                   "--timeout", str(timeout), "--stop-on-failure"] + self.tests
        status, output = run(command, self.source, timeout * 4)
        if status == 0:
            return []
        return failed_tests(output) or [f"ctest ({status})"]


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--list", type=Path, default=ROOT / "tools/mutate/mutants.txt")
    parser.add_argument("--only", nargs="*", default=[], help="mutant names to run")
    parser.add_argument("--scratch", type=Path, default=Path("/tmp/vanto-mutate"))
    parser.add_argument("--timeout", type=int, default=300, help="seconds per test")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 2)
    args = parser.parse_args(argv)

    try:
        mutants = read_mutants(args.list)
    except (OSError, ListError) as e:
        print(f"mutate: {e}", file=sys.stderr)
        return 2
    if args.only:
        unknown = set(args.only) - {m["name"] for m in mutants}
        if unknown:
            print(f"mutate: no such mutant: {', '.join(sorted(unknown))}", file=sys.stderr)
            return 2
        mutants = [m for m in mutants if m["name"] in args.only]

    source = args.scratch / "src"
    shutil.rmtree(args.scratch, ignore_errors=True)
    copy_tree(source)
    # Optimised and without sanitizers: the tests still say what they say,
    # and each rebuild and run is several times faster.
    common = ["VANTO_WERROR=ON", "VANTO_BENCH=OFF", "VANTO_MACOS_CHECK=OFF"]
    builds = {"suite": Build(source, args.scratch / "suite", common + ["CMAKE_BUILD_TYPE=Release"],
                             [], [], args.jobs)}
    if any(m.get("check") == "tsan" for m in mutants):
        builds["tsan"] = Build(source, args.scratch / "tsan",
                               common + ["CMAKE_BUILD_TYPE=RelWithDebInfo",
                                         "CMAKE_CXX_COMPILER=clang++", "VANTO_SANITIZERS=thread"],
                               ["typist_stress_test"], ["-R", "^typist_stress$"], 1)
    os.environ["TSAN_OPTIONS"] = "halt_on_error=1"
    for name, build in builds.items():
        print(f"mutate: building the unmutated tree ({name})", flush=True)
        if not (build.configure() and build.build(None)) or build.test(args.timeout):
            print(f"mutate: the unmutated tree fails its {name} build or tests; fix that first",
                  file=sys.stderr)
            return 2

    results = []
    for m in mutants:
        path = source / m["file"]
        original = path.read_text(encoding="utf-8")
        if original.count(m["from"]) != 1:
            results.append((m, "stale", 0.0))
            print(f"  {m['name']}: stale (the text occurs {original.count(m['from'])} times)",
                  flush=True)
            continue
        build = builds["tsan" if m.get("check") == "tsan" else "suite"]
        start = time.monotonic()
        path.write_text(original.replace(m["from"], m["to"]), encoding="utf-8")
        try:
            if not build.build(args.timeout * 4):
                verdict = "killed (build)"
            else:
                failed = build.test(args.timeout)
                verdict = f"killed by {', '.join(failed[:3])}" if failed else "survived"
        finally:
            path.write_text(original, encoding="utf-8")
        seconds = time.monotonic() - start
        results.append((m, verdict, seconds))
        print(f"  {m['name']}: {verdict} ({seconds:.0f} s)", flush=True)
    # Leave the scratch build matching the sources again.
    for build in builds.values():
        build.build(None)

    judged = [r for r in results if r[1] != "stale"]
    killed = [r for r in judged if r[1].startswith("killed")]
    survivors = [r for r in judged if r[1] == "survived"]
    stale = [r for r in results if r[1] == "stale"]
    print()
    if judged:
        print(f"mutate: {len(killed)} of {len(judged)} mutants killed "
              f"({100 * len(killed) / len(judged):.0f}%)")
    for m, _, _ in survivors:
        print(f"  survived: {m['name']} ({m['file']}): {m['breaks']}")
    for m, _, _ in stale:
        print(f"  stale, update the list: {m['name']} ({m['file']})")
    return 0 if not survivors and not stale else 1


if __name__ == "__main__":
    sys.exit(main())
