# -*- coding: utf-8 -*-
"""The paths family: how a host is reached, where installvorx, its logs and the state record
are on it, and where the controller keeps each host's results."""

from __future__ import absolute_import, division, print_function

__metaclass__ = type

import hashlib
import ntpath
import os

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


def controller_path(path):
    """A path on the controller, made absolute against the current folder."""
    return os.path.abspath(os.path.expanduser(str(path)))


# The characters a file name keeps as they are; every other byte of the name's UTF-8 is
# written %XX, so that two names never share a folder and no name leaves the results folder.
_SAFE = frozenset("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_.")
# Longer names keep their start and end with the SHA-256 of the whole name after "%%", which
# no encoded name holds: a folder name stays within the 255 bytes of common file systems.
_LONGEST = 200


def file_name(name):
    """One safe file or folder name for a text, different for different texts: bytes outside
    A-Z a-z 0-9 - _ . as %XX (upper case), a leading dot as %2E (so neither "." nor ".."
    nor a hidden name), "%" for the empty text; a name longer than 200 characters once
    encoded as its first 120, "%%", the SHA-256 of the text (hex)."""
    text = str(name)
    encoded = "".join(chr(b) if chr(b) in _SAFE else "%%%02X" % b
                      for b in text.encode("utf-8", "surrogatepass")) or "%"
    if encoded.startswith("."):
        encoded = "%2E" + encoded[1:]
    if len(encoded) > _LONGEST:
        digest = hashlib.sha256(text.encode("utf-8", "surrogatepass")).hexdigest()
        start = encoded[:120]
        cut = start.rfind("%", len(start) - 2)  # an escape cut in two is left out
        encoded = (start[:cut] if cut >= 0 else start) + "%%" + digest
    return encoded


def results_folder(results_dir, host):
    """<results_dir>/<host's file_name> on the controller."""
    return os.path.join(controller_path(results_dir), file_name(host))


class FilterModule:
    """The paths family of the vorx.rollout collection."""

    def filters(self):
        return {
            "windows_host": windows_host,
            "kit_command": kit_command,
            "log_dir": log_dir,
            "state_dir": state_dir,
            "state_names": state_names,
            "results_folder": results_folder,
            "file_name": file_name,
            "controller_path": controller_path,
        }
