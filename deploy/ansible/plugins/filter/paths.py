# -*- coding: utf-8 -*-
"""The paths family: how a host is reached, and where installvorx, its logs and the state
record are on it."""

from __future__ import absolute_import, division, print_function

__metaclass__ = type

import ntpath

from ansible.errors import AnsibleFilterError
from ansible_collections.vorx.rollout.plugins.module_utils.vorx_facts import (
    MARKER_NAME, RECORD_NAME, VERSION)


def windows_host(connection, shell_type=None):
    """True for a host reached as Windows: WinRM or PSRP, or SSH into PowerShell or cmd."""
    plugin = str(connection or "").rsplit(".", 1)[-1]
    return plugin in ("winrm", "psrp") or str(shell_type or "") in ("powershell", "cmd")


def kit_command(kit_dir, windows):
    """installvorx's path in the kit: tools/installvorx, tools\\installvorx.exe on Windows."""
    if windows:
        return str(kit_dir).rstrip("\\/") + "\\tools\\installvorx.exe"
    return str(kit_dir).rstrip("/") + "/tools/installvorx"


def log_dir(folder, windows=False, system_root=None):
    """The folder of both logs, as installvorx finds it: on Linux vorx_log_dir (its
    SystemRoot, / when empty); on Windows the root of the drive of the host's SystemRoot,
    which its facts must hold."""
    if not windows:
        return str(folder or "") or "/"
    root = str(system_root or "")
    drive = ntpath.splitdrive(root)[0]
    if not drive:
        raise AnsibleFilterError("the host's facts hold no SystemRoot with a drive (%r):"
                                 " its log folder is unknown" % root)
    return drive + "\\"


def state_dir(folder, windows=False):
    """vorx_state_dir, or the default of the host's system."""
    if folder:
        return str(folder)
    return "C:\\ProgramData\\VORX-rollout" if windows else "/var/lib/vorx-rollout"


def state_names(_ignored=None):
    """The names the Windows module gives the state record and a run's marker in the state
    folder, and the version it writes into the marker."""
    return {"record": RECORD_NAME, "marker": MARKER_NAME, "version": VERSION}


class FilterModule:
    """The paths family of the vorx.rollout collection."""

    def filters(self):
        return {
            "windows_host": windows_host,
            "kit_command": kit_command,
            "log_dir": log_dir,
            "state_dir": state_dir,
            "state_names": state_names,
        }
