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
  - Unless the host already holds the state record of an installation (or I(installed_when)
    exists), writes the settings file to a temporary file, runs C(installvorx /s /f FILE),
    removes the file, and returns the command's status and output with the listings of the
    log folder before and after the run and the texts of the logs that are new or grew.
  - After a run that installed VORX or asks for a restart, writes the state record in
    I(state_dir) (Linux; on Windows the role writes it).
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
    description: Seconds after which installvorx and its launcher are stopped.
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
  description: The state record found on the host, or null.
  returned: always
  type: dict
record_error:
  description: Why the state record found could not be read.
  returned: when it could not
  type: str
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
import fnmatch
import json
import os
import signal
import subprocess
import tempfile

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.vorx.rollout.plugins.module_utils.vorx_rules import (
    VERSION, run_outcome, state_record)

PATTERNS = ("installvorx_*.log", "setup_*.log")
# A log larger than this is listed but not read back: a launcher's log of that size holds
# nothing the outcome needs, and the result must fit the controller's memory.
READ_BACK_LIMIT = 32 * 1024 * 1024
GRACE = 5  # seconds between asking the command to end and ending it


def record_path(state_dir):
    return os.path.join(state_dir, "installvorx-%s.json" % VERSION)


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


def read_record(path):
    if not os.path.exists(path):
        return None, None
    try:
        with open(path, "rb") as data:
            return json.loads(data.read().decode("utf-8")), None
    except (OSError, ValueError) as error:
        return None, "%s: %s" % (path, error)


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


def run(module, result):
    params = module.params
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
    written = state_record(run_outcome(result), params["digest"], result["start"])
    if written is not None:
        path = record_path(params["state_dir"])
        os.makedirs(params["state_dir"], mode=0o755, exist_ok=True)
        with open(path + ".new", "w", encoding="utf-8") as out:
            json.dump(written, out, indent=2, sort_keys=True)
            out.write("\n")
        os.replace(path + ".new", path)
        result["state_written"] = written


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
        ),
        supports_check_mode=True,
    )
    params = module.params
    result = dict(changed=False, status=None, stdout="", stderr="", timed_out=False,
                  timeout=params["timeout"], record=None, state_written=None, texts={},
                  logs_before=listing(params["log_dir"]), logs_after={})
    result["record"], error = read_record(record_path(params["state_dir"]))
    if error:
        result["record_error"] = error
    result["installed_when_exists"] = bool(params["installed_when"]) and os.path.exists(
        params["installed_when"])
    if module.check_mode:
        result["check"] = dict(setup_exe=os.path.isfile(os.path.join(params["kit_dir"],
                                                                     "setup.exe")),
                               command=os.path.isfile(params["command"]),
                               log_dir=os.path.isdir(params["log_dir"]))
    elif not result["installed_when_exists"] and (
            params["force"] or (result["record"] is None and not error)):
        run(module, result)
    module.exit_json(**result)


if __name__ == "__main__":
    main()
