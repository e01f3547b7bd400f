#!/usr/bin/env python3
"""Counts the results of one stage's CTest run.

    scripts/summarize.py STAGE BUILD_DIR

Reads BUILD_DIR/ctest-junit.xml (ctest --output-junit, set by the test
presets).  A CTest entry that wrote its own JUnit file into
BUILD_DIR/test-results/<name>.xml (every GoogleTest program, the export
checks) counts each of its cases; any other entry counts as one.  An entry
that failed although its own file shows no failed case (a crash, a leak
found at exit) counts one failure more.  With CI=true in the environment, an
entry skipped as a whole (a code-page run without its locale, say) counts as
a failure: on CI every stage must really run.

Prints a line for each failed or skipped case, then
"STAGE: P passed, F failed, S skipped"; the last line is "P F S" for the
caller.  Exit status 0.
"""
import os
import sys
import xml.etree.ElementTree as ET


def cases(path):
    """(name, status, message) of every test case in a JUnit file."""
    root = ET.parse(path).getroot()
    for case in root.iter("testcase"):
        name = case.get("name", "?")
        group = case.get("classname", "")
        full = f"{group}.{name}" if group and group != name else name
        failure = case.find("failure")
        if failure is None:
            failure = case.find("error")
        if failure is not None:
            yield full, "fail", (failure.get("message") or failure.text or "").strip()
        elif case.find("skipped") is not None or case.get("status") in ("notrun", "skipped") \
                or case.get("result") in ("skipped", "suppressed"):
            yield full, "skip", ""
        else:
            yield full, "pass", ""


def main(stage, build):
    junit = os.path.join(build, "ctest-junit.xml")
    on_ci = os.environ.get("CI") == "true"
    passed = failed = skipped = 0
    if not os.path.isfile(junit):
        print(f"FAILED {stage}: ctest wrote no results")
        print(f"{stage}: 0 passed, 1 failed, 0 skipped\n0 1 0")
        return 0
    for entry, status, message in cases(junit):
        own = os.path.join(build, "test-results", entry + ".xml")
        if os.path.isfile(own) and status != "skip":
            p = f = s = 0
            for case, case_status, case_message in cases(own):
                if case_status == "pass":
                    p += 1
                elif case_status == "skip":
                    s += 1
                else:
                    f += 1
                    print(f"FAILED {stage}: {entry}: {case} {case_message.splitlines()[0] if case_message else ''}")
            if status == "fail" and f == 0:
                print(f"FAILED {stage}: {entry} (exit status, after its test cases passed)")
                f = 1
            if p + f + s == 0:
                print(f"FAILED {stage}: {entry} ran no test case")
                f = 1
        elif status == "pass":
            p, f, s = 1, 0, 0
        elif status == "skip":
            if on_ci:
                print(f"FAILED {stage}: {entry} was skipped, and on CI every entry must run")
                p, f, s = 0, 1, 0
            else:
                print(f"SKIPPED {stage}: {entry}")
                p, f, s = 0, 0, 1
        else:
            print(f"FAILED {stage}: {entry}")
            p, f, s = 0, 1, 0
        passed, failed, skipped = passed + p, failed + f, skipped + s
    print(f"{stage}: {passed} passed, {failed} failed, {skipped} skipped")
    print(f"{passed} {failed} {skipped}")
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        sys.exit(2)
    sys.exit(main(sys.argv[1], sys.argv[2]))
