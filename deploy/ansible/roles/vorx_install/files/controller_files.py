"""The controller's file work for the play, as one command: writes the files named in
"write" of the JSON object on standard input ({path: [text, encoding]}, "base64" for bytes),
each with its folders and through a temporary name, so that a file is whole or absent; then,
when "check" names files, prints {"read": {path: {"content": base64, "sha256": hex}} of
those that exist, "check": the run of the "check_command" with --json over them, as the
command module registers a run: rc, stdout, stderr, and msg when it could not start}."""

import base64
import hashlib
import json
import os
import subprocess
import sys


def write(path, text, encoding):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    data = base64.b64decode(text) if encoding == "base64" else text.encode(encoding)
    with open(path + ".partial", "wb") as out:
        out.write(data)
    os.replace(path + ".partial", path)


def read(paths):
    found = {}
    for path in paths:
        try:
            with open(path, "rb") as data:
                content = data.read()
        except OSError:
            continue  # installvorx-check names what is wrong with the file
        found[path] = {"content": base64.b64encode(content).decode("ascii"),
                       "sha256": hashlib.sha256(content).hexdigest()}
    return found


def check(command, paths):
    try:
        run = subprocess.run([command, "--json"] + paths, stdin=subprocess.DEVNULL,
                             capture_output=True, check=False)
    except OSError as error:
        return {"rc": 2, "stdout": "", "stderr": "", "msg": str(error)}
    return {"rc": run.returncode, "stdout": run.stdout.decode("utf-8", "replace"),
            "stderr": run.stderr.decode("utf-8", "replace")}


def main():
    job = json.load(sys.stdin)
    for path, (text, encoding) in job.get("write", {}).items():
        write(path, text, encoding)
    if job.get("check"):
        json.dump({"read": read(job["check"]), "check": check(job["check_command"],
                                                              job["check"])}, sys.stdout)


if __name__ == "__main__":
    main()
