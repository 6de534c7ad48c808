#!/usr/bin/python
# -*- coding: utf-8 -*-
"""The one module run of the VORX rollout on a host."""

from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r"""
---
module: vorx_run
short_description: Run installvorx once on a host and read back what it left
description:
  - With I(launcher_sha256), first compares the kit's C(setup.exe) with that sum, and does
    nothing more on the host when it differs.
  - Unless I(installed_when) exists, or (without I(installed_when)) the host holds the
    state record of an installation or the marker of an interrupted run, writes the
    settings file to a temporary file, runs C(installvorx /s /f FILE), removes the file,
    and returns the command's status and output with the listings of the log folder
    before and after the run and the texts of the logs that are new or grew.
  - Before the run it leaves a marker in I(state_dir); after a run that installed VORX or
    asks for a restart, it writes the state record there (Linux; on Windows a second run of
    M(vorx.rollout.win_vorx_run) does), each through a temporary file created exclusively
    in I(state_dir) and renamed, then removes the marker.
  - In check mode it only looks, at the kit, the log folder and the state record.
  - Decides nothing else; the outcome is decided on the controller.
version_added: "1.0.0"
author: installvorx maintainers
extends_documentation_fragment:
  - vorx.rollout.run
options:
  command:
    description: The kit's installvorx (C(tools/installvorx), C(tools\installvorx.exe)).
    type: str
    required: true
  log_dir:
    description:
      - The folder installvorx logs to. Linux, given to it as C(SystemRoot); Windows, the
        root of the system drive.
    type: str
    required: true
  digest:
    description: The SHA-256 digest of the settings file, kept in the state record.
    type: str
  timeout:
    description: Seconds after which installvorx and its launcher are stopped, a whole number
      above 0; any other value fails the task before anything starts.
    type: int
attributes:
  check_mode:
    support: full
    description: Looks at the kit, the log folder and the state record; writes nothing.
  diff_mode:
    support: none
  platform:
    platforms: posix
notes:
  - Windows hosts run M(vorx.rollout.win_vorx_run), the same steps in PowerShell.
"""

EXAMPLES = r"""
- name: Run installvorx on the host
  vorx.rollout.vorx_run:
    command: /opt/kits/vorx-6.1.0-00/tools/installvorx
    kit_dir: /opt/kits/vorx-6.1.0-00
    log_dir: /var/log/vorx
    settings: "{{ lookup('ansible.builtin.file', 'site.ini') | b64encode }}"
    state_dir: /var/lib/vorx-rollout
  register: run
"""

RETURN = r"""
status:
  description: installvorx's exit status; null when it did not run.
  returned: always
  type: int
stdout:
  description: What installvorx printed.
  returned: always
  type: str
start_error:
  description: Why installvorx could not be started.
  returned: when it could not
  type: str
timed_out:
  description: Whether installvorx was stopped after I(timeout) seconds.
  returned: always
  type: bool
logs_before:
  description: The log folder's installation and setup logs before the run, path to size.
  returned: always
  type: dict
logs_after:
  description: The same after the run.
  returned: always
  type: dict
texts:
  description: Path to base64 bytes of every log that is new or grew, and their setup logs.
  returned: always
  type: dict
record:
  description: The JSON found at the state record's name, or null; the controller judges it.
  returned: always
  type: raw
record_found:
  description: Whether a file is at the state record's name.
  returned: always
  type: bool
record_path:
  description: The state record's path.
  returned: always
  type: str
record_error:
  description: Why the file at the state record's name could not be read.
  returned: when it could not
  type: str
marker:
  description: C(path) and C(time) of the marker that an interrupted run left, or null.
  returned: always
  type: dict
state_error:
  description: The marker or record that could not be written or removed, and why.
  returned: when one could not
  type: str
launcher:
  description:
    - With I(launcher_sha256), C(expected), C(actual) (the SHA-256 of the kit's setup.exe,
      or null), C(error) (why it could not be read) and C(path); null without it.
  returned: always
  type: dict
success_codes:
  description: I(success_codes), for the controller's decision.
  returned: always
  type: list
  elements: int
installed_when_exists:
  description: Whether I(installed_when) exists.
  returned: always
  type: bool
check:
  description: In check mode, whether the kit's setup.exe, the command and the log folder exist.
  returned: in check mode
  type: dict
state_written:
  description: The state record written after the run, or null.
  returned: always
  type: dict
"""

import base64
import datetime
import errno
import fnmatch
import hashlib
import json
import os
import signal
import stat
import subprocess
import tempfile

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.vorx.rollout.plugins.module_utils.vorx_facts import (
    MARKER_NAME, RECORD_NAME, VERSION)
from ansible_collections.vorx.rollout.plugins.module_utils.vorx_rules import (
    launcher_matches, run_outcome, starts, state_record)

PATTERNS = ("installvorx_*.log", "setup_*.log")
# A log larger than this is listed but not read back: a launcher's log of that size holds
# nothing the outcome needs, and the result must fit the controller's memory.
READ_BACK_LIMIT = 32 * 1024 * 1024
GRACE = 5  # seconds between asking the command to end and ending it
# A state record or marker larger than this is none: ours hold a few hundred bytes.
RECORD_LIMIT = 64 * 1024


def record_path(state_dir):
    return os.path.join(state_dir, RECORD_NAME)


def marker_path(state_dir):
    return os.path.join(state_dir, MARKER_NAME)


def listing(folder):
    found = {}
    try:
        names = os.listdir(folder)
    except OSError:
        return found
    for name in names:
        path = os.path.join(folder, name)
        if any(fnmatch.fnmatchcase(name, p) for p in PATTERNS) and os.path.isfile(path):
            found[path] = os.path.getsize(path)
    return found


def read_regular(path, limit=RECORD_LIMIT):
    """The bytes of the regular file at path, None when nothing is there. Opened without
    waiting (a FIFO or a device there never blocks the run) and read only when it is a
    regular file of at most limit bytes; anything else raises OSError or ValueError."""
    try:
        handle = os.open(path, os.O_RDONLY | os.O_NONBLOCK | os.O_CLOEXEC | os.O_NOCTTY)
    except FileNotFoundError:
        return None
    with os.fdopen(handle, "rb") as data:
        if not stat.S_ISREG(os.fstat(handle).st_mode):
            raise OSError(errno.ENXIO, "not a regular file")
        content = data.read(limit + 1)
    if len(content) > limit:
        raise ValueError("larger than %d bytes" % limit)
    return content


def read_record(path):
    """(whether a file is at path, the JSON it holds or None, why it cannot be read or
    None); the controller judges whether that JSON is a record."""
    try:
        content = read_regular(path)
        if content is None:
            return False, None, None
        return True, json.loads(content.decode("utf-8")), None
    except (OSError, ValueError) as error:
        return True, None, "%s: %s" % (path, error)


def read_marker(path):
    """{"path", "time"} of the marker an earlier run left, or None when there is none."""
    if not os.path.lexists(path):
        return None
    try:
        when = json.loads(read_regular(path).decode("utf-8")).get("time")
    except (OSError, ValueError, AttributeError):
        when = None
    return {"path": path, "time": when if isinstance(when, str) else None}


def write_exclusive(folder, name, data):
    """Writes data as folder/name: through a temporary file that mkstemp creates in folder
    itself (exclusively, following no link), synced, then renamed over name at once, so a
    link planted at any name there is never written through and a reader finds the old
    file or the new one, never part of one."""
    handle, temporary = tempfile.mkstemp(dir=folder, prefix="." + name + ".")
    try:
        with os.fdopen(handle, "wb") as out:
            os.fchmod(handle, 0o644)  # readable by all, as the record always was
            out.write(data)
            out.flush()
            os.fsync(out.fileno())
        os.replace(temporary, os.path.join(folder, name))
    except BaseException:
        os.unlink(temporary)
        raise


def json_bytes(data):
    return (json.dumps(data, indent=2, sort_keys=True) + "\n").encode("utf-8")


def sha256_of(path):
    digest = hashlib.sha256()
    with open(path, "rb") as data:
        for block in iter(lambda: data.read(1024 * 1024), b""):
            digest.update(block)
    return digest.hexdigest()


def launcher_check(kit_dir, expected):
    """What launcher_matches judges: the kit's setup.exe's SHA-256 against expected."""
    if not expected:
        return None
    path = os.path.join(kit_dir, "setup.exe")
    try:
        return {"expected": expected, "actual": sha256_of(path), "error": None, "path": path}
    except OSError as error:
        return {"expected": expected, "actual": None, "error": str(error), "path": path}


def texts_of(before, after):
    """The bytes of the logs that are new or grew, and of the setup log beside each."""
    wanted = [p for p, size in after.items() if p not in before or size > before[p]]
    for path in list(wanted):
        name = os.path.basename(path)
        if name.startswith("installvorx_"):
            wanted.append(os.path.join(os.path.dirname(path), "setup_" + name[12:]))
    texts = {}
    for path in wanted:
        if path in after and path not in texts and after[path] <= READ_BACK_LIMIT:
            with open(path, "rb") as log:
                texts[path] = base64.b64encode(log.read()).decode("ascii")
    return texts


def stop(process):
    """Ends installvorx and its launcher, which share the session started for them."""
    for sent in (signal.SIGTERM, signal.SIGKILL):
        try:
            os.killpg(process.pid, sent)
        except OSError:
            return process.communicate()
        try:
            return process.communicate(timeout=GRACE)
        except subprocess.TimeoutExpired:
            continue
    return process.communicate()


def execute(argv, log_dir, timeout):
    """rc, stdout, stderr, timed_out of the command, or raises OSError when it cannot start."""
    env = dict(os.environ, SystemRoot=log_dir)
    process = subprocess.Popen(argv, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE, start_new_session=True)
    try:
        out, err = process.communicate(timeout=timeout)
        timed_out = False
    except subprocess.TimeoutExpired:
        out, err = stop(process)
        timed_out = True
    return process.returncode, out.decode("utf-8", "replace"), err.decode("utf-8", "replace"), \
        timed_out


def command_argv(command, settings_path=None):
    """installvorx's arguments: always silent, with the settings file when there is one."""
    return [command, "/s"] + (["/f", settings_path] if settings_path else [])


def now():
    return datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%dT%H:%M:%SZ")


def leave_marker(params, result):
    """The marker of a run that has started, written before the launch: a run killed before
    its outcome is recorded leaves it, and the next run says so. False when it cannot be
    written (then the record could not be either, and nothing runs)."""
    try:
        os.makedirs(params["state_dir"], mode=0o755, exist_ok=True)
        write_exclusive(params["state_dir"], MARKER_NAME, json_bytes(
            {"version": VERSION, "time": now(), "pid": os.getpid()}))
        return True
    except OSError as error:
        result["state_error"] = "%s: %s" % (marker_path(params["state_dir"]), error)
        return False


def record_run(params, result):
    """The state record of a run that installed, then the marker removed; the first that
    fails is the run's state_error, and the marker stays."""
    written = state_record(run_outcome(result), params["digest"], result["start"])
    path = record_path(params["state_dir"])
    try:
        if written is not None:
            write_exclusive(params["state_dir"], RECORD_NAME, json_bytes(written))
            result["state_written"] = written
        path = marker_path(params["state_dir"])
        if os.path.lexists(path):
            os.unlink(path)
    except OSError as error:
        result["state_error"] = "%s: %s" % (path, error)


def run(module, result):
    params = module.params
    if not leave_marker(params, result):
        return
    settings_path = None
    if params["settings"] is not None:
        handle, settings_path = tempfile.mkstemp(prefix="vorx-settings.", suffix=".ini")
        with os.fdopen(handle, "wb") as out:
            out.write(base64.b64decode(params["settings"]))
    argv = command_argv(params["command"], settings_path)
    result["start"] = now()
    try:
        rc, out, err, timed_out = execute(argv, params["log_dir"], params["timeout"])
        result.update(status=rc, stdout=out, stderr=err, timed_out=timed_out, changed=True)
    except OSError as error:
        result["start_error"] = str(error)
    finally:
        if settings_path:
            os.unlink(settings_path)
    result["logs_after"] = listing(params["log_dir"])
    result["texts"] = texts_of(result["logs_before"], result["logs_after"])
    record_run(params, result)


def main():
    module = AnsibleModule(
        argument_spec=dict(
            command=dict(type="str", required=True),
            kit_dir=dict(type="str", required=True),
            log_dir=dict(type="str", required=True),
            settings=dict(type="str", no_log=True),
            digest=dict(type="str"),
            state_dir=dict(type="str", required=True),
            installed_when=dict(type="str"),
            force=dict(type="bool", default=False),
            timeout=dict(type="int"),
            success_codes=dict(type="list", elements="int", default=[]),
            launcher_sha256=dict(type="str"),
        ),
        supports_check_mode=True,
    )
    params = module.params
    # A run stopped as soon as it starts would cut an installation off half way.
    if params["timeout"] is not None and params["timeout"] < 1:
        module.fail_json(msg="timeout must be a positive whole number of seconds, not %d:"
                             " nothing was started" % params["timeout"])
    result = dict(changed=False, status=None, stdout="", stderr="", timed_out=False,
                  timeout=params["timeout"], success_codes=params["success_codes"],
                  record=None, state_written=None, texts={},
                  record_path=record_path(params["state_dir"]),
                  launcher=launcher_check(params["kit_dir"], params["launcher_sha256"]),
                  logs_before=listing(params["log_dir"]), logs_after={})
    result["record_found"], result["record"], error = read_record(result["record_path"])
    if error:
        result["record_error"] = error
    result["marker"] = read_marker(marker_path(params["state_dir"]))
    result["installed_when_exists"] = bool(params["installed_when"]) and os.path.exists(
        params["installed_when"])
    found = dict(installed_when_given=bool(params["installed_when"]),
                 installed_when_exists=result["installed_when_exists"],
                 record_found=result["record_found"],
                 marker_found=result["marker"] is not None)
    if module.check_mode:
        result["check"] = dict(setup_exe=os.path.isfile(os.path.join(params["kit_dir"],
                                                                     "setup.exe")),
                               command=os.path.isfile(params["command"]),
                               log_dir=os.path.isdir(params["log_dir"]))
    elif launcher_matches(result["launcher"]) and starts(found, params["force"]):
        run(module, result)
    module.exit_json(**result)


if __name__ == "__main__":
    main()
