"""Counts the wineserver requests per keystroke of each measured program's threads.

Reads a wineserver trace (WINEDEBUG=+server) and the lines `key_latency trace` printed:
  trace <name> notes=<n> bench=<tid> gui=<tid> threads=<tid>,<tid>...
Counts the requests each thread of the program made between the markers
mk-trace-begin-<name> and mk-trace-end-<name>; one keystroke is a key-down and its
key-up. Requests of the test MIDI library's log (file create, write handle, close,
event) are listed apart: they are the same for every program and no part of the key path."""
import re
import sys
from collections import Counter, defaultdict

REQUEST = re.compile(r"^([0-9a-f]{4}): ([a-z_]+)\( ")
MARKER = re.compile(r'add_atom\( name=L"mk-trace-(begin|end)-(\w+)"')
# What the test MIDI library does per message it logs and signals.
LOGGING = {"create_file", "get_handle_fd", "close_handle", "event_op"}


def main(trace_path, listing_path):
    programs = {}
    for line in open(listing_path, encoding="utf-8", errors="replace"):
        fields = line.split()
        if len(fields) < 6 or fields[0] != "trace":
            continue
        values = dict(field.split("=", 1) for field in fields[2:])
        programs[fields[1]] = {
            "notes": int(values["notes"]),
            "gui": values["gui"],
            "threads": [t for t in values["threads"].split(",") if t],
        }
    counts = defaultdict(Counter)  # (program, thread) -> request -> count
    current = None
    with open(trace_path, encoding="utf-8", errors="replace") as trace:
        for line in trace:
            marker = MARKER.search(line)
            if marker:
                current = marker.group(2) if marker.group(1) == "begin" else None
                continue
            if current is None:
                continue
            match = REQUEST.match(line)
            if match and current in programs and match.group(1) in programs[current]["threads"]:
                counts[(current, match.group(1))][match.group(2)] += 1
    for name, program in programs.items():
        notes = program["notes"]
        print(f"== {name}: requests per keystroke (key-down and key-up), {notes} keystrokes")
        for thread in program["threads"]:
            requests = counts[(name, thread)]
            role = "gui" if thread == program["gui"] else "hook"
            if len(program["threads"]) == 1:
                role = "hook+gui"
            path = {r: n for r, n in requests.items() if r not in LOGGING}
            logging = {r: n for r, n in requests.items() if r in LOGGING}
            total = sum(path.values()) / notes
            print(f"  thread {thread} ({role}): {total:.1f} on the key path"
                  f" (+{sum(logging.values()) / notes:.1f} of the test MIDI library's log)")
            for request, n in sorted(path.items(), key=lambda item: -item[1]):
                print(f"      {request:28s} {n / notes:5.2f}")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
