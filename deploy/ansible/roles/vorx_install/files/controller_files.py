"""The controller's file work for the play, as one command: writes the files named in
"write" of the JSON object on standard input ({path: [text, encoding]}, "base64" for bytes),
each with its folders and through a temporary name, so that a file is whole or absent; then
prints {path: {"content": base64, "sha256": hex}} of the files named in "read" that exist."""

import base64
import hashlib
import json
import os
import sys


def write(path, text, encoding):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    data = base64.b64decode(text) if encoding == "base64" else text.encode(encoding)
    with open(path + ".partial", "wb") as out:
        out.write(data)
    os.replace(path + ".partial", path)


def main():
    job = json.load(sys.stdin)
    for path, (text, encoding) in job.get("write", {}).items():
        write(path, text, encoding)
    read = {}
    for path in job.get("read", []):
        try:
            with open(path, "rb") as data:
                content = data.read()
        except OSError:
            continue  # installvorx-check names what is wrong with the file
        read[path] = {"content": base64.b64encode(content).decode("ascii"),
                      "sha256": hashlib.sha256(content).hexdigest()}
    json.dump(read, sys.stdout)


if __name__ == "__main__":
    main()
