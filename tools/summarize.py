"""Adds up the GoogleTest reports of every suite into one line: N passed, N failed.

A suite that ctest ran but that left no report (it crashed, or hung until the timeout)
counts as one failed test, so a crash can never pass for success."""
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

passed = failed = skipped = 0
for folder in map(Path, sys.argv[1:]):
    reported = set()
    for report in sorted(folder.glob("*.xml")):
        try:
            root = ET.parse(report).getroot()
        except ET.ParseError:
            print(f"unreadable report: {report}")
            failed += 1
            continue
        reported.add(report.stem)
        for case in root.iter("testcase"):
            if case.find("failure") is not None or case.find("error") is not None:
                failed += 1
                print(f"FAILED: {report.stem}: {case.get('classname')}.{case.get('name')}")
            elif case.get("result") == "skipped" or case.find("skipped") is not None:
                skipped += 1
            else:
                passed += 1
    junit = folder / "ctest.junit"
    if junit.exists():
        for case in ET.parse(junit).getroot().iter("testcase"):
            name = case.get("name")
            if case.get("status") == "fail" or case.find("failure") is not None:
                if name not in reported:
                    print(f"FAILED: {name} ended without a report")
                    failed += 1
                else:
                    # The report may be clean while the process still failed (a
                    # sanitizer at exit, a crash after the last test).
                    print(f"FAILED: {name} exited with an error")
                    failed += 1

line = f"{passed} passed, {failed} failed"
if skipped:
    line += f", {skipped} skipped"
print(line)
sys.exit(1 if failed else 0)
