"""Writes the files named in the JSON object on standard input, {path: [text, encoding]},
each with its folders; the text is stored as it stands, its line ends included."""

import json
import os
import sys


def main():
    for path, (text, encoding) in json.load(sys.stdin).items():
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", encoding=encoding, newline="") as out:
            out.write(text)


if __name__ == "__main__":
    main()
