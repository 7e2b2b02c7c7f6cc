#!/usr/bin/env python3
"""Checks the hosted CI workflows, which cannot run on this machine.

    tools/check_workflows.py [--macos FILE] [--linux FILE] [--readme FILE]
    tools/check_workflows.py --self-test

The macOS workflow must build and test on an Apple-silicon and an Intel
image, run the self-test, lint both Info.plists, check that the executable
links only the system's libraries, verify the signature, run the smoke test
of the real adapters, and keep the release zip. The Linux workflow must run
the README's test command. --self-test removes each required piece in turn
and checks that the checker notices.
"""

import argparse
import copy
import pathlib
import sys

import yaml

ROOT = pathlib.Path(__file__).resolve().parent.parent

APP = "build/macos/app/Vanto.app"
# Each step the macOS job needs: a name for the report and what its command
# (or action) must hold. In this order.
MACOS_STEPS = [
    ("checkout", ["actions/checkout@"]),
    ("Homebrew dependencies", ["tools/setup.sh"]),
    ("configure", ["cmake --preset macos"]),
    ("build", ["cmake --build --preset macos"]),
    ("unit tests", ["ctest "]),
    ("self-test", [APP + "/Contents/MacOS/Vanto selftest"]),
    ("property lists", ["plutil -lint", APP + "/Contents/Info.plist",
                        APP + "/Contents/Resources/Vanto.bundle/Contents/Info.plist"]),
    ("system libraries only", ["otool -L", "/usr/lib/", "/System/Library/", "exit 1"]),
    ("signature", ["codesign --verify --deep --strict", APP]),
    ("smoke test", ["ctest ", "macos_smoke"]),
    ("release zip", ["tools/package-macos.sh"]),
    ("artifact", ["actions/upload-artifact@", "Vanto-*-macos.zip"]),
]
TEST_COMMAND = "tools/test.sh"


def triggers(workflow):
    # YAML 1.1 reads a bare "on" key as true.
    on = workflow.get("on", workflow.get(True))
    if isinstance(on, str):
        return {on}
    return set(on or [])


def step_text(step):
    parts = [str(step.get("uses", "")), str(step.get("run", ""))]
    parts += [str(v) for v in (step.get("with") or {}).values()]
    return "\n".join(parts)


def check_triggers(name, workflow, problems):
    missing = {"push", "pull_request"} - triggers(workflow)
    if missing:
        problems.append(f"{name}: not run on {', '.join(sorted(missing))}")


def only_job(name, workflow, problems):
    jobs = workflow.get("jobs") or {}
    if len(jobs) != 1:
        problems.append(f"{name}: expected one job, found {len(jobs)}")
        return None
    return next(iter(jobs.values()))


def check_macos(workflow):
    problems = []
    check_triggers("macos", workflow, problems)
    job = only_job("macos", workflow, problems)
    if job is None:
        return problems
    images = (((job.get("strategy") or {}).get("matrix") or {}).get("image")) or []
    runs_on = str(job.get("runs-on", ""))
    if "matrix.image" not in runs_on:
        problems.append("macos: the job does not run on the matrix's images")
    macs = [i for i in images if str(i).startswith("macos-")]
    if not any(str(i).endswith("-intel") for i in macs):
        problems.append("macos: no x86_64 (Intel) image")
    if not any(not str(i).endswith("-intel") for i in macs):
        problems.append("macos: no arm64 image")
    texts = [step_text(s) for s in job.get("steps") or []]
    at = 0
    for name, fragments in MACOS_STEPS:
        found = next((i for i in range(at, len(texts))
                      if all(f in texts[i] for f in fragments)), None)
        if found is None:
            problems.append(f"macos: no step for the {name} (after the ones before it)")
        else:
            at = found + 1
    return problems


def check_linux(workflow, readme):
    problems = []
    check_triggers("linux", workflow, problems)
    if TEST_COMMAND not in readme:
        problems.append(f"linux: the README no longer names {TEST_COMMAND}")
    job = only_job("linux", workflow, problems)
    if job is None:
        return problems
    if not str(job.get("runs-on", "")).startswith("ubuntu"):
        problems.append("linux: the job does not run on a Linux image")
    if not any(str(s.get("run", "")).strip() == TEST_COMMAND for s in job.get("steps") or []):
        problems.append(f"linux: no step runs {TEST_COMMAND}")
    return problems


def self_test(macos, linux, readme):
    """Each required piece removed in turn must be reported."""
    failures = []
    steps = macos["jobs"]["macos"]["steps"]
    for index in range(len(steps)):
        broken = copy.deepcopy(macos)
        del broken["jobs"]["macos"]["steps"][index]
        if not check_macos(broken):
            failures.append(f"removing macOS step {index + 1} went unnoticed")
    for image in macos["jobs"]["macos"]["strategy"]["matrix"]["image"]:
        broken = copy.deepcopy(macos)
        broken["jobs"]["macos"]["strategy"]["matrix"]["image"].remove(image)
        if not check_macos(broken):
            failures.append(f"removing the image {image} went unnoticed")
    broken = copy.deepcopy(linux)
    broken["jobs"]["linux"]["steps"] = broken["jobs"]["linux"]["steps"][:-1]
    if not check_linux(broken, readme):
        failures.append("removing the Linux test step went unnoticed")
    broken = copy.deepcopy(macos)
    broken[True] = {"push": None}
    broken.pop("on", None)
    if not check_macos(broken):
        failures.append("dropping the pull-request trigger went unnoticed")
    return failures


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--macos", default=ROOT / ".github/workflows/macos.yml")
    parser.add_argument("--linux", default=ROOT / ".github/workflows/linux.yml")
    parser.add_argument("--readme", default=ROOT / "README.md")
    parser.add_argument("--self-test", action="store_true")
    args = parser.parse_args()

    try:
        macos = yaml.safe_load(pathlib.Path(args.macos).read_text(encoding="utf-8"))
        linux = yaml.safe_load(pathlib.Path(args.linux).read_text(encoding="utf-8"))
        readme = pathlib.Path(args.readme).read_text(encoding="utf-8")
    except (OSError, yaml.YAMLError) as error:
        print(f"check_workflows: {error}", file=sys.stderr)
        return 1

    problems = check_macos(macos) + check_linux(linux, readme)
    if args.self_test and not problems:
        problems = self_test(macos, linux, readme)
    for problem in problems:
        print(problem, file=sys.stderr)
    if not problems:
        print("workflows ok" + (" (and every removal is noticed)" if args.self_test else ""))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
