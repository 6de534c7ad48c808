"""The controller's file work for the play, as one command, from the JSON object on standard
input:
- "write": {path: [text, encoding]} ("base64" for bytes): each file with its folders,
  through a temporary name of its own in the file's folder, so that a file is whole or absent;
- "merge": {path: {"hosts": {host: entry}, "run": name}}: the summary at path merged with
  these hosts (merge_summary of the collection's report filters), read, merged and replaced
  while this play holds the lock file .vorx-results.lock beside it, so that plays started at
  once into one results folder all keep their hosts;
- "check": files to read and check: their {"content": base64, "sha256": hex, "vault":
  whether ansible-vault encrypted it} in "read", and the run of "check_command" with --json
  over them in "check", as the command module registers a run (rc, stdout, stderr, and msg
  when it could not start).
Prints {"read", "check", "errors": {path: why it was not written}}; exits 1 when a file
could not be written, having written every other one."""

import base64
import fcntl
import hashlib
import json
import os
import subprocess
import sys
import tempfile

# The first line of a file that ansible-vault encrypted.
VAULT_HEADER = b"$ANSIBLE_VAULT;"
LOCK_NAME = ".vorx-results.lock"


def _collection_import():
    # This file is roles/vorx_install/files/ of the installed collection, whose folder
    # ansible_collections/vorx/rollout is three levels below the collections path.
    root = os.path.dirname(os.path.abspath(__file__))
    for _ in range(6):
        root = os.path.dirname(root)
    sys.path.insert(0, root)
    from ansible_collections.vorx.rollout.plugins.filter.report import merge_summary
    return merge_summary


def write(path, data):
    folder = os.path.dirname(path)
    os.makedirs(folder, exist_ok=True)
    handle, temporary = tempfile.mkstemp(dir=folder, prefix="." + os.path.basename(path) + ".",
                                         suffix=".partial")
    try:
        with os.fdopen(handle, "wb") as out:
            out.write(data)
        os.chmod(temporary, 0o644)
        os.replace(temporary, path)
    except BaseException:
        os.unlink(temporary)
        raise


def decoded(text, encoding):
    return base64.b64decode(text) if encoding == "base64" else text.encode(encoding)


def merge(path, hosts, run, merge_summary):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(os.path.join(os.path.dirname(path), LOCK_NAME), "a+b") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        try:
            with open(path, encoding="utf-8") as data:
                previous = data.read()
        except FileNotFoundError:
            previous = None
        merged = merge_summary(previous, hosts, run)
        write(path, (json.dumps(merged, indent=2, sort_keys=True, ensure_ascii=False)
                     + "\n").encode("utf-8"))


def read(paths):
    found = {}
    for path in paths:
        try:
            with open(path, "rb") as data:
                content = data.read()
        except OSError:
            continue  # installvorx-check names what is wrong with the file
        found[path] = {"content": base64.b64encode(content).decode("ascii"),
                       "sha256": hashlib.sha256(content).hexdigest(),
                       "vault": content.startswith(VAULT_HEADER)}
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
    errors = {}
    for path, (text, encoding) in job.get("write", {}).items():
        try:
            write(path, decoded(text, encoding))
        except OSError as error:
            errors[path] = str(error)
    if job.get("merge"):
        merge_summary = _collection_import()
        for path, entry in job["merge"].items():
            try:
                merge(path, entry["hosts"], entry["run"], merge_summary)
            except Exception as error:  # pylint: disable=broad-except
                # A disk error or a summary that cannot be read: named, never a traceback.
                errors[path] = getattr(error, "message", None) or str(error)
    answer = {"errors": errors}
    if job.get("check"):
        answer.update(read=read(job["check"]), check=check(job["check_command"], job["check"]))
    json.dump(answer, sys.stdout)
    for path, why in errors.items():
        print(f"{path}: {why}", file=sys.stderr)
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
