#!/usr/bin/env python3
"""Line and branch coverage per source folder from gcovr's JSON summary."""
import json
import sys
from collections import defaultdict


def main():
    with open(sys.argv[1]) as f:
        summary = json.load(f)
    folders = defaultdict(lambda: [0, 0, 0, 0])
    for entry in summary["files"]:
        parts = entry["filename"].split("/")
        folder = "/".join(parts[:2]) if len(parts) > 2 else parts[0]
        for key, i in (("line_covered", 0), ("line_total", 1), ("branch_covered", 2),
                       ("branch_total", 3)):
            folders[folder][i] += entry[key]
            folders["all"][i] += entry[key]

    def percent(covered, total):
        return f"{100.0 * covered / total:6.2f} %" if total else "     - "

    print(f"{'folder':<12} {'lines':>22} {'branches':>22}")
    for folder in sorted(folders, key=lambda name: (name == "all", name)):
        lc, lt, bc, bt = folders[folder]
        print(f"{folder:<12} {percent(lc, lt)} {lc:>6}/{lt:<6} {percent(bc, bt)} {bc:>6}/{bt:<6}")


if __name__ == "__main__":
    main()
