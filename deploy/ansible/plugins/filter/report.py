# -*- coding: utf-8 -*-
"""The report family: every host of one run, the logs the run read back, and the fleet's
picture over all runs, on the controller."""

from __future__ import absolute_import, division, print_function

__metaclass__ = type

import json
import ntpath
import os
from collections.abc import Mapping

from ansible.errors import AnsibleFilterError
from ansible_collections.vorx.rollout.plugins.filter.outcome import is_failure, outcome
from ansible_collections.vorx.rollout.plugins.filter.paths import (
    controller_path, file_name, results_folder)
from ansible_collections.vorx.rollout.plugins.module_utils.vorx_rules import (
    OUTCOMES, record, run_logs)

_LOST = ("no outcome was recorded: the host left the play before its run; see the play's"
         " output")


def _host_record(facts, job):
    if isinstance(facts.get("_vorx_result"), Mapping):
        return facts["_vorx_result"]
    if not isinstance(job, Mapping):
        return record("failed", None, _LOST)
    return outcome(facts.get("_vorx_run"), job)


def report(hostvars, hosts, results_dir, jobs=None):
    """The outcomes of one run (see RETURN), from the hosts' facts and what each host's run
    got (settings_jobs)."""
    outcomes, logs, failing = {}, {}, []
    for host in hosts:
        facts = hostvars[host] if host in hostvars else {}
        result = _host_record(facts, (jobs or {}).get(host))
        outcomes[host] = {key: result.get(key) for key in ("outcome", "status", "message")}
        if is_failure(result):
            failing.append(host)
        run = facts.get("_vorx_run")
        if isinstance(run, Mapping) and run.get("texts"):
            for path in run_logs(run.get("logs_before"), run.get("logs_after")):
                if path in run["texts"]:
                    target = os.path.join(results_folder(results_dir, host),
                                          file_name(ntpath.basename(path)))
                    logs[target] = [run["texts"][path], "base64"]
    return {"hosts": outcomes, "logs": logs, "failing": failing}


def merge_summary(previous, hosts, run):
    """The fleet's picture: for every host ever run, its latest outcome and the run it came
    from; previous is the earlier summary.json, its text or as Ansible's templating already
    read that text (None or empty when there is none)."""
    merged = previous if isinstance(previous, Mapping) else {}
    if previous and not isinstance(previous, Mapping):
        try:
            merged = json.loads(previous)
        except ValueError as error:
            raise AnsibleFilterError(f"summary.json cannot be read, so it is not replaced:"
                                     f" {error}") from error
        if not isinstance(merged, Mapping):
            raise AnsibleFilterError("summary.json holds no mapping of hosts, so it is not"
                                     " replaced")
    merged = dict(merged)
    for host, entry in hosts.items():
        merged[host] = dict(entry, run=run)
    return merged


def report_files(run, name, results_dir, check_mode=False):
    """What the controller writes for one run (or batch), as its file work takes it:
    {"write": {path: [text, encoding]}, "merge": {summary path: {"hosts", "run"}}}. A run
    writes the logs it read back and runs/<name>.json (its hosts), and merges its hosts into
    summary.json; a run in check mode merges them into check.json alone."""
    folder = controller_path(results_dir)
    summary = os.path.join(folder, "check.json" if check_mode else "summary.json")
    merged = {summary: {"hosts": run["hosts"], "run": name}}
    if check_mode:
        return {"write": {}, "merge": merged}
    files = dict(run["logs"])
    files[os.path.join(folder, "runs", name + ".json")] = [_json(run["hosts"]), "utf-8"]
    return {"write": files, "merge": merged}


def _json(data):
    return json.dumps(data, indent=2, sort_keys=True, ensure_ascii=False) + "\n"


def files_lost(written, step):
    """"; STEP: why" when the controller's file work (its registered run) did not write every
    file of the run, "" when it did."""
    written = written if isinstance(written, Mapping) else {}
    if written.get("rc") in (None, 0):
        return ""
    try:
        errors = json.loads(written.get("stdout") or "").get("errors") or {}
        why = "; ".join(f"{path}: {error}" for path, error in errors.items())
    except (ValueError, AttributeError):
        why = ""
    why = why or " ".join((written.get("stderr") or written.get("msg") or "failed").split())
    return f"; {step}: {why}"


def table(hosts, lost=""):
    """The outcomes as the lines of a short table, then a count per outcome, then what
    files_lost says when the run's files were not all written."""
    width = max([len("HOST")] + [len(host) for host in hosts])
    lines = [f"{'HOST':<{width}}  {'OUTCOME':<17}  {'STATUS':>10}  MESSAGE"]
    for host, entry in hosts.items():
        status = "-" if entry["status"] is None else str(entry["status"])
        message = " | ".join((entry["message"] or "").splitlines())
        lines.append(f"{host:<{width}}  {entry['outcome']:<17}  {status:>10}  {message}".rstrip())
    counts = [f"{sum(e['outcome'] == o for e in hosts.values())} {o}" for o in OUTCOMES]
    lines.append(f"{len(hosts)} hosts: " + ", ".join(c for c in counts if not c.startswith("0 ")))
    if lost:
        lines.append("not written: " + lost[2:])
    return lines


class FilterModule:
    """The report family of the vorx.rollout collection."""

    def filters(self):
        return {
            "report": report,
            "merge_summary": merge_summary,
            "report_files": report_files,
            "table": table,
            "files_lost": files_lost,
        }
