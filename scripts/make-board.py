#!/usr/bin/env python3
"""Writes a board whose profile repeats another board's items and parameters N times.

    make-board.py SOURCE N OUTPUT

The chips stay the same; each copy of an item reads the same registers through its own
renamed parameters, so both the item count and the parameter array grow N times.
Used for the report's cost per item on boards larger than any real one
(boards/large-x4.json is boards/large.json times 4).
"""
import json
import re
import sys

PROFILE = "/etc/Quorvel.ini"


def blocks(text):
    """The profile split into its [Section] blocks, each with its trailing blank line."""
    return re.split(r"(?m)^(?=\[)", text)


def renamed(block, copy):
    """One block with its parameter names (and the item's name) marked as copy N."""
    if copy == 0:
        return block
    suffix = "x%d" % copy
    block = re.sub(r"(?m)^(PARAMETER|PARAINDEX1|PARAINDEX2)=(\S+)$", r"\1=\2" + suffix, block)
    return re.sub(r"(?m)^ITEM_NAME=(.*)$", r"ITEM_NAME=\1 #%d" % (copy + 1), block)


def main(source, times, output):
    board = json.load(open(source))
    parts = blocks(board["files"][PROFILE])
    head = [b for b in parts if not b.startswith(("[Item]", "[Parameter]"))]
    items = [b for b in parts if b.startswith("[Item]")]
    params = [b for b in parts if b.startswith("[Parameter]")]
    body = [renamed(b, c) for c in range(times) for b in items] + [renamed(b, c) for c in range(times) for b in params]
    board["files"][PROFILE] = "".join(head + body)
    board["name"] = "%s times %d" % (board["name"], times)
    board["description"] = "%s Its profile repeated %d times." % (board["description"], times)
    with open(output, "w") as out:
        json.dump(board, out, indent=1)
        out.write("\n")


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit("usage: make-board.py SOURCE N OUTPUT")
    main(sys.argv[1], int(sys.argv[2]), sys.argv[3])
