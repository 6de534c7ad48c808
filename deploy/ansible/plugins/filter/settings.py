# -*- coding: utf-8 -*-
"""The settings family: where each host's settings file comes from, and whether it may be
sent, decided on the controller before anything touches a host."""

from __future__ import absolute_import, division, print_function

__metaclass__ = type

import json
import os
from collections.abc import Mapping

import yaml

from ansible.errors import AnsibleError, AnsibleFilterError
from ansible.module_utils.common.arg_spec import ArgumentSpecValidator
from ansible.module_utils.parsing.convert_bool import boolean
from ansible_collections.vorx.rollout.plugins.filter.paths import results_folder
from ansible_collections.vorx.rollout.plugins.module_utils.vorx_facts import (
    SETTINGS_SECTION, VERSION_SECTION)
from ansible_collections.vorx.rollout.plugins.module_utils.vorx_rules import (
    launcher_variable_errors)

# The role's variables as the role declares them (any other vorx_ name is a mistake),
# and the keys of vorx_settings there: the version key, then those of SETTINGS_SECTION.
with open(os.path.join(os.path.dirname(__file__), "..", "..", "roles", "vorx_install", "meta",
                       "argument_specs.yml"), encoding="utf-8") as _specs:
    _OPTIONS = yaml.safe_load(_specs)["argument_specs"]["main"]["options"]
VARIABLES = tuple(_OPTIONS)
_KEYS = tuple(_OPTIONS["vorx_settings"]["options"])
VERSION_KEY = _KEYS[0]
SETTINGS_KEYS = _KEYS[1:]

_UNUSABLE_IN_INI = ("\r", "\n", "\0")


def _one_line(text):
    return "; ".join(line.strip() for line in str(text).splitlines() if line.strip())


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
    head = [f"[{VERSION_SECTION}]"] + ([f"{VERSION_KEY}={version}"] if version is not None else [])
    content = "\r\n".join(head + ["", f"[{SETTINGS_SECTION}]"] + lines) + "\r\n"
    if content.isascii():
        return {"content": content, "encoding": "ascii", "refusal": None}
    # Windows reads a settings file without a byte-order mark in its ANSI code page, which
    # would garble UTF-8; with the UTF-16 mark both builds read every character.
    return {"content": "\ufeff" + content, "encoding": "utf-16-le", "refusal": None}


def _refused(refusal):
    return {"content": None, "encoding": None, "refusal": refusal}


def _plan(source, refusal=None, from_file=False, content=None, encoding=None):
    return {"source": source, "content": content, "encoding": encoding, "refusal": refusal,
            "from_file": from_file}


def settings_plan(settings, settings_file=None, launcher_defaults=False, rendered=None,
                  inventory_dir=None, names=()):
    """Where a host's settings file comes from, on the controller (see RETURN)."""
    unknown = sorted(set(names or ()) - set(VARIABLES))
    if unknown:
        return _plan(None, "unknown variable(s) %s: not one of the role's (a misspelling?)"
                     % ", ".join(unknown))
    chosen = [name for name, value in (("vorx_settings", settings),
                                       ("vorx_settings_file", settings_file),
                                       ("vorx_launcher_defaults", launcher_defaults or None))
              if value is not None]
    if len(chosen) != 1:
        return _plan(None, "give exactly one of vorx_settings, vorx_settings_file or"
                     " vorx_launcher_defaults: true (%s)"
                     % (" and ".join(chosen) + " given" if chosen else "none given"))
    if settings is not None:
        rendered_file = render_settings(settings)
        return _plan(rendered, rendered_file.pop("refusal"), **rendered_file)
    if settings_file is not None:
        path = os.path.expanduser(str(settings_file))
        folder = os.path.expanduser(str(inventory_dir)) if inventory_dir else os.getcwd()
        return _plan(os.path.abspath(os.path.join(folder, path)), from_file=True)
    return _plan(None)


def settings_plans(hostvars, hosts, results_dir="vorx-results", check_mode=False, spec=None):
    """{host: plan} for every host of the batch, on the controller in one step, from its
    variables in hostvars (the role's defaults of these variables are what an unset
    variable means). Each plan also holds the host's vorx_check_strict, and "failure": why
    the host's variables are wrong for spec (the role's declared variables: a wrong type, a
    missing vorx_kit_dir, an undefined variable in one of them), or None."""
    plans = {}
    for host in hosts:
        try:
            plan = _host_plan(hostvars[host], host, results_dir, check_mode, spec or {})
        except AnsibleError as error:
            plan = dict(_plan(None), strict=False,
                        failure="wrong variables: " + _one_line(error.message))
        plans[host] = plan
    return plans


def _host_plan(variables, host, results_dir, check_mode, spec):
    names = [name for name in variables if str(name).startswith("vorx_")]
    unknown = sorted(set(names) - set(VARIABLES))
    errors = []
    if not unknown:
        provided = {name: variables[name] for name in spec if name in variables}
        checked = ArgumentSpecValidator(spec).validate(provided,
                                                       validate_role_argument_spec=True)
        errors = checked.error_messages or launcher_variable_errors(
            checked.validated_parameters.get("vorx_launcher_sha256"),
            checked.validated_parameters.get("vorx_success_codes"))
    errors = errors or _timeout_errors(variables)
    if errors:
        return dict(_plan(None), strict=False, failure="wrong variables: " + "; ".join(errors))
    # Check mode keeps the settings file of the last real run where it is.
    rendered = os.path.join(results_folder(variables.get("vorx_results_dir") or results_dir,
                                           host),
                            "check-settings.ini" if check_mode else "settings.ini")
    plan = settings_plan(variables.get("vorx_settings"), variables.get("vorx_settings_file"),
                         boolean(variables.get("vorx_launcher_defaults"), strict=False),
                         rendered, variables.get("inventory_dir"), names)
    return dict(plan, strict=boolean(variables.get("vorx_check_strict"), strict=False),
                failure=None)


def _timeout_errors(variables):
    """vorx_timeout must be a whole number of seconds above 0: the role's declared types convert
    -5, 0 and true to an int, and a run given any of them would be stopped at once."""
    if "vorx_timeout" not in variables:
        return []
    value = variables["vorx_timeout"]
    if isinstance(value, str) and value.strip().isdigit():
        value = int(value)  # an INI inventory or -e gives texts
    if isinstance(value, int) and not isinstance(value, bool) and value > 0:
        return []
    return [f"vorx_timeout must be a positive whole number of seconds, not {value!r}"
            " (unset, it is 3600: raise it for a slow host)"]


def settings_files(plans):
    """What the controller does for the settings of the hosts: {"write": {path: [content,
    encoding]} of the rendered files, "check": [every file to check, once]}, from the hosts'
    plans."""
    write, check = {}, []
    for plan in plans.values():
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


def settings_jobs(plans, controller=None, step="the controller's settings files"):
    """{host: what its run gets} (see settings_job), for every host of the batch at once,
    from the registered run of the controller's file work (step: its task's name); its
    standard output holds the files read, the check's run and the files it could not
    write. A host whose file was not written, or every host with a file when the file work
    gave no answer, fails naming the step and why."""
    controller = controller if isinstance(controller, Mapping) else {}
    try:
        answer = json.loads(controller["stdout"]) if controller.get("stdout") else {}
        check, files = answer.get("check"), {"stdout": json.dumps(answer.get("read", {}))}
        errors = answer.get("errors") or {}
    except (AttributeError, ValueError) as error:
        answer, check, files, errors = None, None, None, {}
        unreadable = f"answered what this play cannot read: {error!r}"
    if answer == {} and controller.get("rc") not in (None, 0):
        answer = None
        unreadable = _one_line(controller.get("stderr") or controller.get("msg") or "failed")
    jobs = {}
    for host, plan in plans.items():
        sent = plan.get("source") and not plan.get("refusal") and not plan.get("failure")
        if sent and (answer is None or plan["source"] in errors):
            why = errors.get(plan["source"]) if answer is not None else unreadable
            jobs[host] = _failed_job(f"{step}: {_one_line(why)}")
            continue
        try:
            jobs[host] = settings_job(plan, check, files, plan.get("strict", False))
        except AnsibleFilterError as error:
            jobs[host] = _failed_job("the settings check: " + _one_line(error))
    return jobs


def _failed_job(message):
    return {"result": {"outcome": "failed", "status": None, "message": message},
            "warnings": [], "settings": None, "digest": None}


def settings_job(plan, check=None, files=None, strict=False):
    """What the host's run gets: {"result": the rejection record, or None to go on;
    "warnings": ["line N: text", ...]; "settings": the file's bytes, base64, or None;
    "digest": their SHA-256}, from its plan, the registered run of `installvorx-check --json
    FILE...` over every host's file, and the registered read of those files ({path:
    {"content", "sha256"}} on the standard output). With strict, a file accepted with
    warnings is refused, its warnings as the message. A refused vorx_settings_file is
    named with its full path."""
    if plan.get("failure"):
        return {"result": {"outcome": "failed", "status": None, "message": plan["failure"]},
                "warnings": [], "settings": None, "digest": None}
    if plan.get("from_file") and _read_entry(files, plan["source"]).get("vault"):
        message = ("the settings file is encrypted with ansible-vault, which the rollout does"
                   " not decrypt: give it decrypted, or its values as vorx_settings in a"
                   f" vault-encrypted variables file (vorx_settings_file: {plan['source']})")
        return {"result": {"outcome": "rejected", "status": None, "message": message},
                "warnings": [], "settings": None, "digest": None}
    verdict = settings_verdict(plan, check, strict)
    if not verdict["accepted"]:
        message = verdict["message"]
        if plan.get("from_file"):
            message += f" (vorx_settings_file: {plan['source']})"
        result = {"outcome": "rejected", "status": None, "message": message}
        return {"result": result, "warnings": verdict["warnings"], "settings": None,
                "digest": None}
    if plan["source"] is None:
        return {"result": None, "warnings": [], "settings": None, "digest": None}
    try:
        read = json.loads(files["stdout"])[plan["source"]]
        content, digest = read["content"], read["sha256"]
    except (ValueError, LookupError, TypeError) as error:
        raise AnsibleFilterError(f"the settings file {plan['source']} was not read on the"
                                 f" controller: {error!r}") from error
    return {"result": None, "warnings": verdict["warnings"], "settings": content,
            "digest": digest}


def _read_entry(files, source):
    """The controller's read of one file ({"content", "sha256", "vault"}), {} when it was not
    read (installvorx-check names why)."""
    try:
        entry = json.loads(files["stdout"]).get(source)
    except (ValueError, LookupError, TypeError, AttributeError):
        return {}
    return entry if isinstance(entry, Mapping) else {}


def settings_verdict(plan, check=None, strict=False):
    """Whether a host's settings are accepted: {"accepted": bool, "message": the refusal or
    None, "warnings": ["line N: text", ...]}, from its plan and the registered check (None or
    skipped when there was nothing to check)."""
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


class FilterModule:
    """The settings family of the vorx.rollout collection."""

    def filters(self):
        return {
            "settings_plan": settings_plan,
            "settings_plans": settings_plans,
            "settings_files": settings_files,
            "check_argv": check_argv,
            "settings_job": settings_job,
            "settings_jobs": settings_jobs,
        }
