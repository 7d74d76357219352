#!/usr/bin/env python3
"""Checks a results document of qel2br (--json): that it parses as strict JSON, has the form of
format 1, and agrees with the run's summary line and its warning lines.

usage: check_results.py RESULTS [--stdout FILE] [--stderr FILE] [--status N]
  --stdout FILE  the run's standard output: its last line is the summary, whose counts must be
                 the document's
  --stderr FILE  the run's standard error: each warning line must be one of the document's,
                 rendered in the editors' form
  --status N     the exit status the entry must give
Exits 1 with the faults found.
"""
import argparse
import json
import re
import sys

KINDS = {"field-holds-more", "keyword-misplaced", "tab-character", "unknown-theory",
         "elements-left-out", "group-passed-over", "option-not-used", "cr-line-ends",
         "no-cards", "answer-cut",
         "elements-passed-over", "field-overflow", "profile-one-point", "lines-passed-over",
         "wave-period", "wave-height", "wave-breaking", "wave-steepness",
         "stokes-ursell", "no-water-depth", "current-speed", "current-below-seabed",
         "current-order", "growth-thickness", "drag-coefficient", "inertia-coefficient",
         "flooded-nonhydro", "range-one-element", "range-no-element"}


def reject_constant(name):
    raise ValueError("not JSON: " + name)


def optional(value, kind):
    return value is None or isinstance(value, kind)


def place_faults(where, obj):
    faults = []
    if not optional(obj.get("file"), str):
        faults.append(where + ": file is not a string or null")
    for key in ("line", "first_column", "last_column"):
        value = obj.get(key)
        if not (value is None or (isinstance(value, int) and value > 0)):
            faults.append(where + ": " + key + " is not a positive number or null")
    first, last = obj.get("first_column"), obj.get("last_column")
    if first is not None and last is not None and last < first:
        faults.append(where + ": last_column before first_column")
    return faults


def line_of(warning):
    """The warning as standard error gives it."""
    if warning["file"] is None:
        place = "qel2br: "
    else:
        place = warning["file"]
        if warning["line"] is not None:
            place += ":" + str(warning["line"])
            if warning["first_column"] is not None:
                place += ":" + str(warning["first_column"])
        place += ": "
    return place + "warning: " + warning["text"] + " [-W" + warning["kind"] + "]"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("results")
    parser.add_argument("--stdout")
    parser.add_argument("--stderr")
    parser.add_argument("--status", type=int)
    args = parser.parse_args()
    with open(args.results, "rb") as f:
        text = f.read().decode("utf-8")  # strict: a byte that is not UTF-8 fails here
    document = json.loads(text, parse_constant=reject_constant)
    faults = []
    if set(document) != {"format", "tool", "version", "inputs"}:
        faults.append("members of the document: " + str(sorted(document)))
    if document.get("format") != 1 or document.get("tool") != "qel2br":
        faults.append("format or tool")
    if not isinstance(document.get("version"), str):
        faults.append("version is not a string")
    inputs = document.get("inputs", [])
    if len(inputs) != 1:
        faults.append("%d inputs" % len(inputs))
    for n, entry in enumerate(inputs):
        where = "input %d" % n
        expected = {"input", "output", "status", "reason", "records", "warnings", "stop"}
        if set(entry) != expected:
            faults.append(where + ": members " + str(sorted(entry)))
            continue
        if not isinstance(entry["input"], str) or not optional(entry["output"], str):
            faults.append(where + ": input or output")
        if not isinstance(entry["status"], int):
            faults.append(where + ": status")
        if (entry["status"] == 0) != (entry["reason"] is None):
            faults.append(where + ": a reason without a failure, or a failure without one")
        if args.status is not None and entry["status"] != args.status:
            faults.append(where + ": status %r, not %d" % (entry["status"], args.status))
        records = entry["records"]
        if set(records) != {"wave", "current", "profile", "element", "group"} or not all(
                isinstance(v, int) and v >= 0 for v in records.values()):
            faults.append(where + ": records " + str(records))
        for w, warning in enumerate(entry["warnings"]):
            at = where + ", warning %d" % w
            if set(warning) != {"file", "line", "first_column", "last_column", "kind", "text"}:
                faults.append(at + ": members " + str(sorted(warning)))
                continue
            faults += place_faults(at, warning)
            if warning["kind"] not in KINDS or not isinstance(warning["text"], str):
                faults.append(at + ": kind or text")
        stop = entry["stop"]
        if stop is not None:
            if set(stop) != {"file", "line", "first_column", "last_column", "text"}:
                faults.append(where + ": stop members " + str(sorted(stop)))
            faults += place_faults(where + ", stop", stop)
        if (stop is not None) and entry["status"] != 2:
            faults.append(where + ": a stop with status %r" % entry["status"])
        if args.stdout:
            with open(args.stdout, encoding="utf-8", errors="replace") as f:
                lines = f.read().splitlines()
            summary = lines[-1] if lines else ""
            counts = {}
            for key, pattern in (("wave", r"(\d+) wave records?\b"),
                                 ("current", r"(\d+) current records?\b"),
                                 ("profile", r"(\d+) depth profiles?\b"),
                                 ("element", r"(\d+) element records?\b"),
                                 ("group", r"(\d+) group records?\b")):
                m = re.search(pattern, summary)
                if m:
                    counts[key] = int(m.group(1))
            wanted = {k: records[k] for k in counts}
            if len(counts) != 4 or wanted != counts:
                faults.append(where + ": summary %r, records %r" % (summary, records))
        if args.stderr:
            with open(args.stderr, encoding="utf-8", errors="replace") as f:
                shown = [line for line in f.read().splitlines() if ": warning: " in line]
            listed = [line_of(w) for w in entry["warnings"]]
            for line in shown:
                if "more warnings about" not in line and line not in listed:
                    faults.append(where + ": standard error's warning not in the document: "
                                  + line)
            if not shown and listed:
                faults.append(where + ": warnings in the document, none on standard error")
    for fault in faults:
        print("check_results: " + args.results + ": " + fault, file=sys.stderr)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
