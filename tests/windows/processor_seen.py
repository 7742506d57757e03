#!/usr/bin/env python3
"""The identifiers that a process seeing another processor computes on the same machine.

An emulator shows the processes it runs a processor of its own (qemu, which runs 32-bit
programs where the kernel runs none, cannot present every feature flag of the host's),
and nodmark_complicate digests the processor signature. Every other input, and with them
nodmark_old and nodmark_new, stay the same. The tests that compare what processes of the
two architectures read take that into account here, never by dropping the comparison.

usage: processor_seen.py INPUTS_REPORT PROCESSOR_REPORT
Prints the three identifiers, one "name value" line each, that the machine of
INPUTS_REPORT gives a process that sees the processor signature of PROCESSOR_REPORT
(both nodmark --json reports). Where the two signatures are the same, these are
INPUTS_REPORT's own. Exits 1 where INPUTS_REPORT's digest does not follow from its own
inputs.
"""
import hashlib
import json
import sys


def processor_of(report):
    return report["processor"]["signature"]


def complicate_with(report, processor):
    digest = report["digest"]
    parts = digest["parts"]
    data = parts["adapter"] + parts["volume"] + processor.encode("ascii").hex().upper() + parts["firmware"]
    text = digest["start_marker"] + data + digest["end_marker"]
    return hashlib.md5(text.encode("ascii")).hexdigest().upper()


def identifiers_seen_by(inputs, processor):
    """The identifiers of `inputs` (a report) as a process that sees `processor` reads them."""
    if complicate_with(inputs, processor_of(inputs)) != inputs["nodmark_complicate"]:
        raise ValueError("the report's nodmark_complicate does not follow from its inputs")
    return {
        "nodmark_old": inputs["nodmark_old"],
        "nodmark_new": inputs["nodmark_new"],
        "nodmark_complicate": complicate_with(inputs, processor),
    }


def main():
    with open(sys.argv[1]) as inputs_file, open(sys.argv[2]) as processor_file:
        inputs, seen = json.load(inputs_file), json.load(processor_file)
    try:
        identifiers = identifiers_seen_by(inputs, processor_of(seen))
    except ValueError as error:
        sys.exit(f"processor_seen.py: {sys.argv[1]}: {error}")
    for name, value in identifiers.items():
        print(name, value)


if __name__ == "__main__":
    main()
