# -*- coding: utf-8 -*-
"""What the VORX rollout concludes from one run on a host: which logs are the run's, the
host's outcome, and the state record that a finished installation leaves on the host.

Plain data in, plain data out. The filters of the collection call these rules on the
controller; the Linux module calls the same rules on the host to decide whether to write
the state record, so that the record and the summary never disagree.
"""

from __future__ import absolute_import, division, print_function

__metaclass__ = type

import base64
import ntpath
import re

from ansible_collections.vorx.rollout.plugins.module_utils.vorx_facts import (
    INSTALLATION_FAILED, START, VERSION)

OUTCOMES = ("installed", "already_installed", "reboot_required", "reboot_started", "failed",
            "rejected", "unreachable", "busy", "timed_out", "would_install")
# What makes the play fail; the rest are fine or ask for a restart.
FAILURES = ("failed", "rejected", "unreachable", "busy", "timed_out")
# The outcomes after which the host holds VORX (or will after its restart): recorded.
RECORDED = ("installed", "reboot_required", "reboot_started")

# installvorx's own statuses; any other status is the launcher's exit code, passed on.
COMMAND_STATUSES = (1, 2, 3, 9)
REBOOT_REQUIRED = 3010
REBOOT_STARTED = 1641
BUSY = 1618
# Launcher codes that mean success besides 0: Windows Installer's 1707 ("installation
# operation completed successfully"), which Intune counts as success too. vorx_success_codes
# adds more; a code that already has a meaning of its own cannot be one.
SUCCESS_CODES = (1707,)
MEANINGFUL_CODES = COMMAND_STATUSES + (REBOOT_REQUIRED, REBOOT_STARTED, BUSY)
# Windows: an exit status this large is an NTSTATUS, an exception that ended the process.
NTSTATUS_ERROR = 0xC0000000

# Warnings and errors only: the start line explains nothing.
_PROBLEM_LINE = re.compile(r"QEDN\d{5}-[WE] ")
_INSTALLATION_LOG = re.compile(r"installvorx(_\d{4}-\d\d-\d\d_\d\d-\d\d-\d\d)\.log")
_RECORD_TIME = re.compile(r"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ")
_SHA256 = re.compile(r"[0-9A-Fa-f]{64}")


def record(outcome, status=None, message=None):
    return {"outcome": outcome, "status": status, "message": message}


def one_line(text):
    return "; ".join(line.strip() for line in str(text).splitlines() if line.strip())


def _joined(*parts):
    return "\n".join(part for part in parts if part) or None


# The logs of one run


def changed_logs(before, after):
    """The paths of the after listing ({path: size}) that are new or grew since the before
    listing: the only files a run can have written. Times are not compared: a daylight
    saving change or a host's clock shifts them, a size never shrinks by itself."""
    return sorted(path for path, size in after.items()
                  if path not in before or (size or 0) > (before[path] or 0))


def run_logs(before, after):
    """The logs that one run wrote, from the listings ({path: size}) of the log folder taken
    before and after it: [path of its installation log, path of the setup log with the same
    timestamp] (the second only when there is one); [] when the run made no installation log.
    Of two new installation logs (a concurrent run), the latest is the run's."""
    written = []
    for path in changed_logs(before or {}, after or {}):
        match = _INSTALLATION_LOG.fullmatch(ntpath.basename(path))  # ntpath splits at / and \
        if match:
            written.append((match.group(1), path))
    if not written:
        return []
    suffix, path = max(written)
    setup = [p for p in (after or {}) if ntpath.basename(p) == "setup%s.log" % suffix]
    return [path] + setup[:1]


def _text(data):
    # The launcher may append bytes of any code page: only the ASCII QEDN lines matter.
    return base64.b64decode(data or "").decode("utf-8", errors="replace")


def problems(*texts):
    lines = []
    for text in texts:
        for line in (text or "").splitlines():
            line = line.rstrip()
            if _PROBLEM_LINE.match(line) and line not in lines:
                lines.append(line)
    return lines


# Outcomes


def status_of(run, windows=False):
    """installvorx's exit status, or None when it did not run. Windows gives a 32-bit code
    as a signed number; it is read as the unsigned code the launcher or Windows set."""
    status = run.get("status") if isinstance(run, dict) else None
    if not isinstance(status, int) or isinstance(status, bool):
        return None
    return status & 0xFFFFFFFF if windows and status < 0 else status


def run_outcome(run, windows=False, rebooted=False):
    """The outcome of a host where installvorx ran, from the run module's result: its status,
    its output and the texts of the logs it read back. The message holds the command's
    warning and error lines that explain a failure, names the launcher's own code, or says
    why the command did not end by itself."""
    status = status_of(run, windows)
    success = (0,) + SUCCESS_CODES + tuple(run.get("success_codes") or ())
    stdout = run.get("stdout") or ""
    logs = run_logs(run.get("logs_before"), run.get("logs_after"))
    texts = run.get("texts") or {}
    log_text = _text(texts.get(logs[0])) if logs and logs[0] in texts else None
    lines = "\n".join(problems(log_text, stdout)) or None
    if run.get("timed_out"):
        return record("timed_out", None, _joined(
            "installvorx was still running after %s s (vorx_timeout): it and its launcher were"
            " stopped, so the installation may be incomplete" % run.get("timeout"), lines))
    if status is None:
        return record("failed", None, "installvorx could not be started: %s"
                      % (one_line(run.get("start_error") or "") or "no status"))
    started = START in stdout
    if status in success:
        if log_text is None:
            return record("failed", status, "installvorx ended with %d, but no installation"
                          " log of the run was found to confirm the installation" % status)
        if any(line.startswith(INSTALLATION_FAILED) for line in problems(log_text)):
            return record("failed", status, lines)
        return record("installed", status, None)
    if status == REBOOT_REQUIRED:
        restart = "the play restarted the host" if rebooted else "restart the host to complete it"
        return record("reboot_required", status,
                      _joined("setup.exe ended with 3010: %s" % restart, lines))
    if status == REBOOT_STARTED:
        note = "" if log_text is not None else "; the logs of the run stay on the host"
        return record("reboot_started", status,
                      _joined("setup.exe ended with 1641: it has started a restart" + note,
                              lines))
    if status == BUSY and windows:
        return record("busy", status, _joined(
            "setup.exe ended with 1618: another installation is in progress, still after the"
            " retries (vorx_busy_retries)", lines))
    if status < 0:
        return record("failed", status, _joined("installvorx was ended by signal %d" % -status,
                                                lines))
    if windows and status >= NTSTATUS_ERROR and not started:
        return record("failed", status, _joined(
            "installvorx.exe itself crashed with exception code 0x%08X before it started"
            " setup.exe" % status, lines))
    if status in COMMAND_STATUSES and lines:
        return record("failed", status, lines)
    code = "%d (0x%08X)" % (status, status) if status >= NTSTATUS_ERROR else str(status)
    return record("failed", status, _joined("setup.exe ended with its own code %s" % code, lines))


def state_record(result, digest, time):
    """What a host records after the run with this result, or None: the version, the
    outcome, the time, the status and the SHA-256 digest of the settings file used (None
    for a run with the launcher's defaults)."""
    if result["outcome"] not in RECORDED:
        return None
    return {"version": VERSION, "outcome": result["outcome"], "time": time,
            "status": result["status"], "settings_sha256": digest}


# The state record and what the run module finds on the host


def record_problem(state):
    """Why a state record read from the host is not one of this installation (None when it
    is): exactly the keys that state_record writes, this version, a recorded outcome, the
    time as state_record writes it, a whole-number status or null, a digest or null."""
    if not isinstance(state, dict):
        return "not a record of this installation (a JSON %s)" % _json_kind(state)
    keys = sorted(state)
    if keys != ["outcome", "settings_sha256", "status", "time", "version"]:
        return "not a record of this installation (keys %s)" % ", ".join(map(str, keys))
    if state["version"] != VERSION:
        return "a record of version %r, not %s" % (state["version"], VERSION)
    status = state["status"]
    wrong = [key for key, right in (
        ("outcome", state["outcome"] in RECORDED),
        ("time", isinstance(state["time"], str) and _RECORD_TIME.fullmatch(state["time"])),
        ("status", status is None or (isinstance(status, int) and not isinstance(status, bool))),
        ("settings_sha256", state["settings_sha256"] is None
         or isinstance(state["settings_sha256"], str)))
        if not right]
    if wrong:
        return "not a record of this installation (%s: %s)" % (
            ", ".join(wrong), ", ".join(repr(state[key]) for key in wrong))
    return None


def _json_kind(value):
    # Ansible hands texts over as subclasses of str: the JSON kind names them all.
    for kind, types in (("text", str), ("list", (list, tuple)), ("true or false", bool),
                        ("number", (int, float))):
        if isinstance(value, types):
            return kind
    return "null" if value is None else type(value).__name__


def starts(found, force):
    """Whether the run module starts installvorx, from what it found on the host
    (installed_when_given, installed_when_exists, record_found: anything at the record's
    name, marker_found). The administrator's vorx_installed_when decides over the record
    and the marker of an interrupted run: when it is given, its path alone says whether
    VORX is installed. Without it, vorx_force runs whatever the host holds."""
    if found.get("installed_when_exists"):
        return False
    if force or found.get("installed_when_given"):
        return True
    return not (found.get("record_found") or found.get("marker_found"))


def launcher_matches(launcher):
    """Whether the kit's setup.exe may run: launcher is {"expected": vorx_launcher_sha256,
    "actual": its SHA-256 or None, "error": why it could not be read or None}, or None
    when no sum was asked for."""
    if not launcher:
        return True
    actual, expected = launcher.get("actual"), launcher.get("expected")
    return isinstance(actual, str) and actual.lower() == str(expected).lower()


def launcher_variable_errors(sha256, success_codes):
    """What is wrong with vorx_launcher_sha256 and vorx_success_codes: a list of texts."""
    errors = []
    if sha256 is not None and not (isinstance(sha256, str) and _SHA256.fullmatch(sha256)):
        errors.append("vorx_launcher_sha256 must be a SHA-256 sum, 64 hexadecimal digits"
                      " (%r)" % (sha256,))
    for code in success_codes or ():
        if isinstance(code, bool) or not isinstance(code, int) or not 0 < code <= 0xFFFFFFFF:
            errors.append("vorx_success_codes: %r is not a launcher exit code (1 to"
                          " 4294967295)" % (code,))
        elif code in MEANINGFUL_CODES:
            errors.append("vorx_success_codes: %d has a meaning of its own (installvorx's 1, 2,"
                          " 3 and 9; 1618, 1641, 3010) and cannot count as success" % code)
    return errors
