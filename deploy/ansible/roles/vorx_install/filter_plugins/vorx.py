"""What the VORX rollout concludes about each host, decided in one place.

Every filter takes plain data (texts, mappings, the results that Ansible registered) and
returns plain data, so that the unit tests call them without Ansible. A filter raises
AnsibleFilterError for an input it cannot judge; the play records that as the host's failure.
"""

import json
import ntpath
import os
import re
from collections.abc import Mapping

try:
    from ansible.errors import AnsibleFilterError
except ImportError:  # the unit tests run without Ansible
    AnsibleFilterError = ValueError

VERSION_KEY = "vorxversion"
SETTINGS_KEYS = (
    "VORX_INSTDIR",
    "VORX_DBDIR",
    "VORX_IPADDRESS",
    "VORX_PORT",
    "VORX_SNMPTRAP",
    "VORX_SNMPIPADDRESS",
    "VORX_SNMPTRAPPORT",
    "VORX_RUNSERVICE",
)
OUTCOMES = ("installed", "reboot_required", "reboot_started", "failed", "rejected", "skipped")
FAILURES = ("failed", "rejected")

# installvorx's own statuses; any other status is the launcher's exit code, passed on.
COMMAND_STATUSES = (1, 2, 3, 9)
REBOOT_REQUIRED = 3010
REBOOT_STARTED = 1641
INSTALLATION_FAILED = "QEDN40112-W"

# Warnings and errors only: the start line (QEDN40110-I) explains nothing.
_PROBLEM_LINE = re.compile(r"QEDN\d{5}-[WE] ")
_INSTALLATION_LOG = re.compile(r"installvorx(_\d{4}-\d\d-\d\d_\d\d-\d\d-\d\d)\.log")
_UNUSABLE_IN_INI = ("\r", "\n", "\0")


def _record(outcome, status=None, message=None):
    return {"outcome": outcome, "status": status, "message": message}


def _one_line(text):
    return "; ".join(line.strip() for line in str(text).splitlines() if line.strip())


# The settings file


def _ini_value(key, value):
    """The text of one value in the file, None to leave the key out, or a refusal."""
    if value is None:
        return None, None
    if isinstance(value, bool):  # before int: a bool is an int in Python
        return ("TRUE" if value else "FALSE"), None
    if isinstance(value, (int, float)):
        return str(value), None
    if not isinstance(value, str):
        return None, f"vorx_settings: {key} must be a text, a number or true/false"
    if any(c in value for c in _UNUSABLE_IN_INI):
        return None, f"vorx_settings: {key} holds a line break, which a settings file cannot carry"
    try:
        value.encode("utf-16-le")
    except UnicodeEncodeError:
        return None, f"vorx_settings: {key} holds text that is not a character"
    return value, None


def render_settings(settings):
    """The settings file for a vorx_settings mapping, CR LF ended as Windows writes it:
    {"content": text, "encoding": how to store it, "refusal": None}, or {"content": None,
    "encoding": None, "refusal": why} when the mapping cannot be written as a settings file.
    A key whose value is null is left out."""
    if not isinstance(settings, Mapping):
        return _refused("vorx_settings must be a mapping of keys to values")
    version, lines = None, []
    for key, value in settings.items():
        if key != VERSION_KEY and key not in SETTINGS_KEYS:
            return _refused(f"vorx_settings: {key} is not a settings key")
        text, refusal = _ini_value(key, value)
        if refusal:
            return _refused(refusal)
        if key == VERSION_KEY:
            version = text
        elif text is not None:
            lines.append(f"{key}={text}")
    head = ["[VORX]"] + ([f"{VERSION_KEY}={version}"] if version is not None else [])
    content = "\r\n".join(head + ["", "[INSTALLATION_SETTINGS]"] + lines) + "\r\n"
    if content.isascii():
        return {"content": content, "encoding": "ascii", "refusal": None}
    # Windows reads a settings file without a byte-order mark in its ANSI code page, which
    # would garble UTF-8; with the UTF-16 mark both builds read every character.
    return {"content": "\ufeff" + content, "encoding": "utf-16-le", "refusal": None}


def _refused(refusal):
    return {"content": None, "encoding": None, "refusal": refusal}


def settings_plan(settings, settings_file, results_folder):
    """Where a host's settings file comes from, on the controller: {"source": the file to
    check and copy, or None for no settings file; "content" and "encoding": the text to
    write to source first, or None; "refusal": why the settings cannot be used, or None}."""
    if settings is not None and settings_file is not None:
        return {"source": None, **_refused("give vorx_settings or vorx_settings_file, not both")}
    if settings is not None:
        rendered = render_settings(settings)
        return {"source": os.path.join(results_folder, "settings.ini"), **rendered}
    source = controller_path(settings_file) if settings_file is not None else None
    return {"source": source, "content": None, "encoding": None, "refusal": None}


def settings_files(hostvars, hosts):
    """What the controller does for the settings of the hosts: {"write": {path: [content,
    encoding]} of the rendered files, "check": [every file to check, once]}, from each host's
    plan."""
    write, check = {}, []
    for host in hosts:
        plan = hostvars[host].get("_vorx_settings") if host in hostvars else None
        if not isinstance(plan, Mapping) or plan["source"] is None or plan["refusal"]:
            continue
        if plan["content"] is not None:
            write[plan["source"]] = [plan["content"], plan["encoding"]]
        if plan["source"] not in check:
            check.append(plan["source"])
    return {"write": write, "check": check}


def check_argv(files, command):
    """installvorx-check's arguments for the files (absolute paths): their verdicts as JSON,
    in one run."""
    return [command, "--json"] + list(files)


def settings_verdict(plan, check=None, strict=False):
    """Whether a host's settings are accepted: {"accepted": bool, "message": the refusal or
    None, "warnings": ["line N: text", ...]}, from its plan and the registered run of
    `installvorx-check --json FILE...` over every host's file (None or skipped when there was
    nothing to check). With strict, a file accepted with warnings is refused, its warnings as
    the message."""
    if plan["refusal"]:
        return {"accepted": False, "message": plan["refusal"], "warnings": []}
    if plan["source"] is None:
        return {"accepted": True, "message": None, "warnings": []}
    entry = _check_entry(check or {}, plan["source"])
    try:
        accepted, message = entry["accepted"], entry["message"]
        warnings = [f"line {w['line']}: {w['text']}" for w in entry["warnings"]]
    except (LookupError, TypeError) as error:
        raise AnsibleFilterError(
            f"installvorx-check answered what this play cannot read: {error!r}") from error
    if not isinstance(accepted, bool) or (not accepted and not message):
        raise AnsibleFilterError("installvorx-check answered what this play cannot read")
    if not accepted and check["rc"] != 2:
        raise AnsibleFilterError(
            f"installvorx-check contradicts itself: status {check['rc']} for a refused file")
    if not accepted:
        return {"accepted": False, "message": message, "warnings": warnings}
    if strict and warnings:
        refusal = "the settings file has warnings (vorx_check_strict): " + "; ".join(warnings)
        return {"accepted": False, "message": refusal, "warnings": warnings}
    return {"accepted": True, "message": None, "warnings": warnings}


def _check_entry(result, source):
    """The check's object for one file, from the registered run."""
    status = result.get("rc")
    if status not in (0, 2) or not (result.get("stdout") or "").strip():
        detail = _one_line(result.get("stderr") or result.get("msg") or "no output")
        raise AnsibleFilterError(
            f"installvorx-check could not check the settings (status {status}): {detail}"
            " (vorx_check_command names the command)")
    try:
        answer = json.loads(result["stdout"])
        entries = [entry for entry in answer if entry["file"] == source]
    except (ValueError, LookupError, TypeError) as error:
        raise AnsibleFilterError(
            f"installvorx-check answered what this play cannot read: {error!r}") from error
    if not isinstance(answer, list) or len(entries) != 1 or not isinstance(entries[0], Mapping):
        raise AnsibleFilterError(f"installvorx-check gave no single answer for {source}")
    return entries[0]


# The logs of one run


def _log_files(found):
    """{path: (size, time)} of a find or win_find result; empty when it did not run."""
    if not isinstance(found, Mapping):
        return {}
    return {
        f["path"]: (f.get("size"), f.get("mtime", f.get("lastwritetime")))
        for f in found.get("files") or []
    }


def run_logs(before, after):
    """The logs that one run wrote, from the listings of the log folder taken before and
    after it: [{"path", "name"}] of its installation log, then of the setup log with the
    same timestamp when there is one; [] when the run made no installation log.

    An installation log is the run's when it is new or has changed (two runs within one
    second share one, appended to); older pairs in the folder are left alone."""
    old, new = _log_files(before), _log_files(after)
    names = {ntpath.basename(path): path for path in new}  # ntpath splits at / and \
    written = []
    for path, stamp in new.items():
        match = _INSTALLATION_LOG.fullmatch(ntpath.basename(path))
        if match and old.get(path) != stamp:
            written.append((match.group(1), path))
    if not written:
        return []
    suffix, path = max(written)  # a stray concurrent run: the latest is the nearest
    logs = [{"path": path, "name": ntpath.basename(path)}]
    setup = f"setup{suffix}.log"
    if setup in names:
        logs.append({"path": names[setup], "name": setup})
    return logs


def installation_log(logs, folder):
    """Where the run's installation log was fetched to on the controller, or None."""
    return os.path.join(folder, logs[0]["name"]) if logs else None


def _read_text(path):
    # The launcher may append bytes of any code page: only the ASCII QEDN lines matter.
    with open(path, "rb") as log:
        return log.read().decode("utf-8", errors="replace")


# Outcomes


def _status(run):
    """installvorx's exit status; None when it was not started (the command modules report
    a start time only for a command they started)."""
    if not isinstance(run, Mapping) or "start" not in run:
        return None
    status = run.get("rc")
    return status if isinstance(status, int) and not isinstance(status, bool) else None


def _problems(*texts):
    lines = []
    for text in texts:
        for line in (text or "").splitlines():
            line = line.rstrip()
            if _PROBLEM_LINE.match(line) and line not in lines:
                lines.append(line)
    return lines


def _joined(*parts):
    return "\n".join(part for part in parts if part) or None


def outcome(run, log_path=None, rebooted=False):
    """The outcome of a host where installvorx ran, from its registered run (rc, stdout) and
    the run's installation log fetched to the controller (None when there is none). The
    message holds the command's warning and error lines that explain a failure, names the
    launcher's own code, or says why the command could not be started."""
    status = _status(run)
    if status is None:
        detail = _one_line(run.get("msg", "")) if isinstance(run, Mapping) else ""
        return _record("failed", None, f"installvorx could not be started: {detail or 'no status'}")
    log_text = _read_text(log_path) if log_path is not None else None
    in_log = _problems(log_text)
    lines = "\n".join(_problems(log_text, run.get("stdout"))) or None
    if status == 0:
        if log_text is None:
            return _record("failed", 0, "installvorx ended with 0, but no installation log of"
                           " the run was found to confirm the installation")
        if any(line.startswith(INSTALLATION_FAILED) for line in in_log):
            return _record("failed", 0, lines)
        return _record("installed", 0, None)
    if status == REBOOT_REQUIRED:
        restart = "the play restarted the host" if rebooted else "restart the host to complete it"
        return _record("reboot_required", status,
                       _joined(f"setup.exe ended with 3010: {restart}", lines))
    if status == REBOOT_STARTED:
        note = "" if log_text is not None else "; the logs of the run stay on the host"
        return _record("reboot_started", status,
                       _joined(f"setup.exe ended with 1641: it has started a restart{note}", lines))
    if status < 0:
        return _record("failed", status, _joined(f"installvorx was ended by signal {-status}",
                                                 lines))
    if status in COMMAND_STATUSES and lines:
        return _record("failed", status, lines)
    return _record("failed", status, _joined(f"setup.exe ended with its own code {status}", lines))


def rejected(message):
    """A host whose settings were refused on the controller: nothing ran there."""
    return _record("rejected", None, message)


def skipped(installed_when):
    """A host where VORX is already installed: nothing ran there."""
    return _record("skipped", None, f"already installed: {installed_when} exists")


def checked_only(verdict):
    """A host in check mode whose settings were accepted: nothing ran there."""
    warnings = len(verdict.get("warnings") or []) if isinstance(verdict, Mapping) else 0
    noted = f" with {warnings} warning(s)" if warnings else ""
    return _record("skipped", None,
                   f"check mode: the settings are accepted{noted}; nothing ran on the host")


def step_failed(task, result, run=None):
    """A host stopped by a failing step: the step and its error, and installvorx's status
    when it ran before the step failed."""
    result = result if isinstance(result, Mapping) else {}
    detail = result.get("msg") or ""
    if result.get("argument_errors"):
        task, detail = "wrong variables", "; ".join(result["argument_errors"])
    elif result.get("stderr") and (not detail or detail == "non-zero return code"):
        detail = result["stderr"]
    return _record("failed", _status(run), f"{task}: {_one_line(detail) or 'failed'}")


def command_argv(command, settings_path=None):
    """installvorx's arguments: always silent, with the settings file when there is one."""
    return [command, "/s"] + (["/f", settings_path] if settings_path else [])


def host_restarting(run):
    """True when the launcher has started a restart of the host (1641)."""
    return isinstance(run, Mapping) and run.get("rc") == REBOOT_STARTED


def wants_reboot(run, allowed):
    """True when the launcher asks for a restart (3010) and the play may restart the host."""
    return bool(allowed) and isinstance(run, Mapping) and run.get("rc") == REBOOT_REQUIRED


def is_failure(record):
    """True for a host that makes the play fail: failed or rejected."""
    kind = record.get("outcome") if isinstance(record, Mapping) else None
    return kind not in OUTCOMES or kind in FAILURES


# Hosts, paths


def windows_host(connection, shell_type=None):
    """True for a host reached as Windows: WinRM or PSRP, or SSH into PowerShell or cmd."""
    plugin = str(connection or "").rsplit(".", 1)[-1]
    return plugin in ("winrm", "psrp") or str(shell_type or "") in ("powershell", "cmd")


def kit_command(kit_dir, windows):
    """installvorx's path in the kit: tools/installvorx, tools\\installvorx.exe on Windows."""
    if windows:
        return str(kit_dir).rstrip("\\/") + "\\tools\\installvorx.exe"
    return str(kit_dir).rstrip("/") + "/tools/installvorx"


def linux_log_dir(log_dir):
    """The folder of both logs on Linux, as installvorx finds it in SystemRoot: / when empty."""
    return str(log_dir or "") or "/"


def windows_log_dir(system_root):
    """The folder of both logs on Windows, as installvorx finds it: the first three
    characters of SystemRoot, or C:\\ when it is unset or empty."""
    root = str(system_root or "")[:3]
    if not root:
        return "C:\\"
    # The facts drop a trailing backslash: SystemRoot C:\ arrives as C:.
    return root + "\\" if len(root) == 2 and root[1] == ":" else root


def controller_path(path):
    """A path on the controller, made absolute against the current folder."""
    return os.path.abspath(os.path.expanduser(str(path)))


def results_folder(results_dir, host):
    """<results_dir>/<host> on the controller; a host name must be usable as a folder."""
    name = str(host)
    if name in ("", ".", "..") or any(c in name for c in "/\\\0"):
        raise AnsibleFilterError(f"the host name {name!r} cannot name a results folder")
    return os.path.join(controller_path(results_dir), name)


# The report


def summary(hostvars, hosts):
    """{host: {"outcome", "status", "message"}} for every host of the play; a host without
    a recorded outcome left the play early (unreachable during the run) and failed."""
    report = {}
    for host in hosts:
        record = hostvars[host].get("vorx_result") if host in hostvars else None
        if not isinstance(record, Mapping) or record.get("outcome") not in OUTCOMES:
            record = _record("failed", None, "no outcome was recorded: the host left the play"
                             " (unreachable during the run); see the play's output")
        report[host] = {key: record.get(key) for key in ("outcome", "status", "message")}
    return report


def table(report):
    """The report as the lines of a short table, then a count per outcome."""
    width = max([len("HOST")] + [len(host) for host in report])
    lines = [f"{'HOST':<{width}}  {'OUTCOME':<15}  {'STATUS':>6}  MESSAGE"]
    for host, record in report.items():
        status = "-" if record["status"] is None else str(record["status"])
        message = " | ".join((record["message"] or "").splitlines())
        lines.append(f"{host:<{width}}  {record['outcome']:<15}  {status:>6}  {message}".rstrip())
    counts = [f"{sum(r['outcome'] == o for r in report.values())} {o}" for o in OUTCOMES]
    lines.append(f"{len(report)} hosts: " + ", ".join(c for c in counts if not c.startswith("0 ")))
    return lines


class FilterModule:
    """The filters of the vorx_install role."""

    def filters(self):
        return {
            "vorx_settings_plan": settings_plan,
            "vorx_settings_files": settings_files,
            "vorx_check_argv": check_argv,
            "vorx_settings_verdict": settings_verdict,
            "vorx_run_logs": run_logs,
            "vorx_installation_log": installation_log,
            "vorx_outcome": outcome,
            "vorx_rejected": rejected,
            "vorx_skipped": skipped,
            "vorx_checked_only": checked_only,
            "vorx_step_failed": step_failed,
            "vorx_command_argv": command_argv,
            "vorx_host_restarting": host_restarting,
            "vorx_wants_reboot": wants_reboot,
            "vorx_is_failure": is_failure,
            "vorx_windows_host": windows_host,
            "vorx_kit_command": kit_command,
            "vorx_linux_log_dir": linux_log_dir,
            "vorx_windows_log_dir": windows_log_dir,
            "vorx_controller_path": controller_path,
            "vorx_results_folder": results_folder,
            "vorx_summary": summary,
            "vorx_table": table,
        }
