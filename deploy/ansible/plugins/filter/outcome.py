# -*- coding: utf-8 -*-
"""The outcome family: what each host's run means, decided on the controller from what the
run module returned."""

from __future__ import absolute_import, division, print_function

__metaclass__ = type

from collections.abc import Mapping

from ansible_collections.vorx.rollout.plugins.module_utils.vorx_rules import (
    FAILURES, OUTCOMES, _joined, launcher_matches, one_line, record, record_problem,
    run_outcome, state_record as _state_record, status_of)


def _lost(run):
    return isinstance(run, Mapping) and bool(run.get("unreachable"))


def _why(result):
    return one_line(result.get("msg") or "") or "no message"


def _check_outcome(run):
    missing = [what for what, key in (("the kit's setup.exe", "setup_exe"),
                                      ("installvorx in the kit", "command"),
                                      ("the log folder", "log_dir"))
               if not run["check"].get(key)]
    if missing:
        return record("failed", None, "check mode: missing on the host: " + ", ".join(missing))
    return record("would_install", None, "check mode: the settings are accepted and the kit"
                  " is in place; nothing ran on the host")


def _recorded(state, digest):
    when = state.get("time") if isinstance(state, Mapping) else None
    message = "installed on %s (outcome %s, status %s); nothing ran" % (
        when, state.get("outcome"), state.get("status"))
    if state.get("settings_sha256") != digest:
        message += ("; the settings differ from that run's (SHA-256 %s, now %s):"
                    " vorx_force: true installs again" % (state.get("settings_sha256"), digest))
    return record("already_installed", None, message)


def outcome(run, job=None, windows=False, rebooted=False, contact=None):
    """A host's outcome (see RETURN); the warnings of the settings check, when it accepted
    the file with some, end the message."""
    job = job if isinstance(job, Mapping) else {}
    if job.get("result"):
        return job["result"]
    result = _outcome(run, job, windows, rebooted, contact)
    if not job.get("warnings"):
        return result
    warned = "installvorx-check warned: " + "; ".join(job["warnings"])
    return dict(result, message="\n".join(filter(None, [result.get("message"), warned])))


def _outcome(run, job, windows, rebooted, contact):
    if _lost(contact):
        return record("unreachable", None, _why(contact))
    if not isinstance(run, Mapping) or run.get("skipped"):
        return record("failed", None, "installvorx was not run: no result of the run")
    if _lost(run):
        if windows and contact is not None:
            # Reached just before: the launcher's restart (1641) is what drops a host mid-run.
            return record("reboot_started", None, "the connection was lost during the run"
                          " (%s): the launcher has started a restart (1641), its status is"
                          " unknown; the logs stay on the host" % _why(run))
        return record("unreachable", None, _why(run))
    # A run that returned (it has its start) and still failed is one whose retries of 1618
    # ran out: Ansible marks that failed; its status says the rest.
    if run.get("failed") and "start" not in run:
        return record("failed", status_of(run, windows), "the run failed: " + _why(run))
    if not launcher_matches(run.get("launcher")):
        return _launcher_refused(run["launcher"])
    if "check" in run:
        if run.get("installed_when_exists") or _found(run):
            return _pre_run(run, job)
        return _check_outcome(run)
    if "start" not in run:
        if run.get("state_error"):
            return record("failed", None, "the run's marker cannot be written (%s): nothing"
                          " ran, since no outcome could be recorded" % one_line(run["state_error"]))
        return _pre_run(run, job)
    return _unrecorded(run_outcome(run, windows, rebooted), run.get("state_error"))


def _found(run):
    # record_found: a file at the record's name, whatever it holds; older results: record.
    return run.get("record_found") or run.get("record") is not None or run.get("marker")


def _launcher_refused(launcher):
    expected = launcher.get("expected")
    if launcher.get("actual") is None:
        return record("failed", None, "the kit's setup.exe cannot be read to compare it with"
                      " vorx_launcher_sha256 %s (%s): nothing ran on the host"
                      % (expected, one_line(launcher.get("error") or "no sum")))
    return record("failed", None, "the kit's setup.exe (%s) has SHA-256 %s, not the %s of"
                  " vorx_launcher_sha256: nothing ran on the host"
                  % (launcher.get("path") or "setup.exe", launcher["actual"], expected))


def _unrecorded(result, error):
    """A run whose marker or state record could not be written keeps its status and logs,
    and fails: a later run would find its marker and start nothing."""
    if not error:
        return result
    note = ("the host's state cannot be recorded (%s): the run's marker stays, so a later run"
            " starts nothing without vorx_force: true" % one_line(error))
    if result["outcome"] in FAILURES:
        return record(result["outcome"], result["status"], _joined(result["message"], note))
    return record("failed", result["status"], _joined(
        "installvorx ended as %s (status %s)" % (result["outcome"], result["status"]),
        result["message"], note))


def _pre_run(run, job):
    if run.get("installed_when_exists"):
        return record("already_installed", None, "already installed: the vorx_installed_when"
                      " path exists")
    marker = run.get("marker")
    if isinstance(marker, Mapping):
        return record("failed", None, "an earlier run (started %s) was interrupted before its"
                      " outcome was recorded (its marker %s is still there): the launcher may"
                      " have installed VORX; check the host, then vorx_force: true runs again"
                      % (marker.get("time") or "at an unknown time", marker.get("path")))
    problem = run.get("record_error")
    if not problem and (run.get("record_found") or run.get("record") is not None):
        problem = record_problem(run.get("record"))
        if problem:
            problem = "%s: %s" % (run.get("record_path") or "the state record", problem)
    if problem:
        return record("failed", None, "the state record cannot be read (%s): vorx_force: true"
                      " installs again" % one_line(problem))
    return _recorded(run.get("record") or {}, job.get("digest"))


def state_record(result, run, job=None):
    """What a Windows host records after its run (the Linux module records it itself), or
    None: nothing for a run that did not end with a status."""
    if not isinstance(run, Mapping) or result.get("status") is None or "start" not in run:
        return None
    digest = job.get("digest") if isinstance(job, Mapping) else None
    return _state_record(result, digest, run["start"])


def step_failed(task, result, run=None):
    """A host stopped by a failing step: the step and its error, and installvorx's status
    when it ran before the step failed."""
    result = result if isinstance(result, Mapping) else {}
    detail = result.get("msg") or ""
    if result.get("argument_errors"):
        task, detail = "wrong variables", "; ".join(result["argument_errors"])
    elif result.get("stderr") and (not detail or detail == "non-zero return code"):
        detail = result["stderr"]
    status = status_of(run) if isinstance(run, Mapping) and "start" in run else None
    return record("failed", status, f"{task}: {one_line(detail) or 'failed'}")


def is_failure(result):
    """Whether a host's outcome makes the play fail."""
    kind = result.get("outcome") if isinstance(result, Mapping) else None
    return kind not in OUTCOMES or kind in FAILURES


class FilterModule:
    """The outcome family of the vorx.rollout collection."""

    def filters(self):
        return {
            "outcome": outcome,
            "state_record": state_record,
            "step_failed": step_failed,
            "is_failure": is_failure,
        }
