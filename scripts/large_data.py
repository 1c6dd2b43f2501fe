#!/usr/bin/env python3
"""Large data sets for measuring the loader and the data check by hand.

    scripts/large_data.py names N OUT    # N types, each with a "стройка" line naming the next
    scripts/large_data.py sheets N OUT   # one type with N sprite-sheet lines naming one bitmap
    scripts/large_data.py types N OUT    # N bare types in one file

OUT becomes a copy of data/ with the extra type file "mnogo.txt" at the end of ludi's list.
"""
import shutil
import sys
from pathlib import Path


def body(kind, n):
    if kind == "names":
        for i in range(n):
            yield f")название\nt{i}\n)стройка\nt{(i + 1) % n}\n"
    elif kind == "sheets":
        yield ")название\nlist\n)спрайты\n"
        for _ in range(n):
            yield ".\\ludi\\ratusha.bmp\n"
    elif kind == "types":
        for i in range(n):
            yield f")название\nt{i}\n"
    else:
        sys.exit(f"unknown kind {kind}")


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    kind, n, out = sys.argv[1], int(sys.argv[2]), Path(sys.argv[3])
    source = Path(__file__).resolve().parent.parent / "data"
    shutil.rmtree(out, ignore_errors=True)
    shutil.copytree(source, out)
    with open(out / "ludi" / "mnogo.txt", "w", encoding="cp1251", newline="\r\n") as f:
        for chunk in body(kind, n):
            f.write(chunk)
    with open(out / "ludi" / "ludi.txt", "ab") as f:
        f.write(b"mnogo.txt")


if __name__ == "__main__":
    main()
