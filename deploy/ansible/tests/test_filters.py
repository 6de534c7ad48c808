"""The decisions of the rollout, one table per rule: the collection's filters, the rules they
share with the Linux module, and the module's command line."""

import base64
import hashlib
import json
import os
import re
import unittest

import yaml
from ansible.errors import AnsibleFilterError, AnsibleUndefinedVariable

import collection
from ansible_collections.vorx.rollout.plugins.filter import outcome, paths, report, settings
from ansible_collections.vorx.rollout.plugins.module_utils import vorx_facts, vorx_rules
from ansible_collections.vorx.rollout.plugins.module_utils.vorx_facts import VERSION
from ansible_collections.vorx.rollout.plugins.modules import vorx_run

HERE = collection.TESTS

START = vorx_facts.START_TEXT
FAILED = vorx_facts.FAILED_TEXT
INTERNAL = "QEDN40097-E An internal error occurred."
NO_SETUP = "QEDN40124-W The setup.exe file does not exist."
NOT_ADMIN = "QEDN40127-E The command was executed by a user other than the administrator."
INVALID = "QEDN40120-W The specified option is invalid."
USAGE = 'Usage: installvorx [/f "file_path"] [/s]'
PORT = ("QEDN40123-W A definition in the installation information settings file is invalid."
        " (VORX_PORT=80a)")
IO_ERROR = ("QEDN40126-W An error occurred in I/O of the installation log file(/l/setup_x.log)."
            " Code = 13 Permission denied")


def lines(*texts):
    return "".join(text + "\n" for text in texts)


class OutcomeTest(unittest.TestCase):
    # name, status, standard output, installation log (bytes; None: none fetched), rebooted,
    # expected outcome, expected message
    CASES = [
        ("success", 0, lines(START), START.encode() + b"\r\n", False, "installed", None),
        ("success whatever the launcher appended", 0, lines(START),
         START.encode() + b"\r\nsetup: done\n", False, "installed", None),
        ("a failure in the setup log", 0, lines(START, FAILED),
         (START + "\r\n" + FAILED + "\n").encode(), False, "failed", FAILED),
        ("a failure found in a log of another code page", 0, lines(START),
         START.encode() + b"\r\n\x93\xfa\x96{\n" + FAILED.encode() + b"\n", False, "failed",
         FAILED),
        ("status 0 without its installation log", 0, lines(START), None, False, "failed",
         "installvorx ended with 0, but no installation log of the run was found to confirm"
         " the installation"),
        ("a restart required", 3010, lines(START), START.encode() + b"\r\n", False,
         "reboot_required", "setup.exe ended with 3010: restart the host to complete it"),
        ("a restart required, done by the play", 3010, lines(START), START.encode() + b"\r\n",
         True, "reboot_required", "setup.exe ended with 3010: the play restarted the host"),
        ("a restart started, logs left on the host", 1641, lines(START), None, False,
         "reboot_started",
         "setup.exe ended with 1641: it has started a restart; the logs of the run stay on the"
         " host"),
        ("an invalid option", 1, lines(INVALID, USAGE), None, False, "failed", INVALID),
        ("a refused settings file", 2, lines(PORT), None, False, "failed", PORT),
        ("not an administrator", 3, lines(NOT_ADMIN), (NOT_ADMIN + "\n").encode(), False,
         "failed", NOT_ADMIN),
        ("no setup.exe", 9, lines(NO_SETUP), None, False, "failed", NO_SETUP),
        ("no setup log", 9, lines(START, INTERNAL), (START + "\r\n" + INTERNAL + "\n").encode(),
         False, "failed", INTERNAL),
        ("an I/O error", 9, lines(START, IO_ERROR), (START + "\r\n" + IO_ERROR + "\n").encode(),
         False, "failed", IO_ERROR),
        ("the launcher's own 9", 9, lines(START), START.encode() + b"\r\n", False, "failed",
         "setup.exe ended with its own code 9"),
        ("a launcher code", 1603, lines(START, FAILED),
         (START + "\r\n" + FAILED + "\n").encode(), False, "failed",
         "setup.exe ended with its own code 1603\n" + FAILED),
        ("a launcher code, setup log fine", 5, lines(START), START.encode() + b"\r\n", False,
         "failed", "setup.exe ended with its own code 5"),
        ("a launcher ended by a signal", 137, lines(START), START.encode() + b"\r\n", False,
         "failed", "setup.exe ended with its own code 137"),
        ("installvorx ended by a signal", -9, "", None, False, "failed",
         "installvorx was ended by signal 9"),
        ("1618 on Linux is a launcher code", 1618, lines(START), START.encode() + b"\r\n", False,
         "failed", "setup.exe ended with its own code 1618"),
        ("a code of vorx_success_codes", 42, lines(START), START.encode() + b"\r\n", False,
         "installed", None),
        ("a code of vorx_success_codes, failed in the setup log", 42, lines(START, FAILED),
         (START + "\r\n" + FAILED + "\n").encode(), False, "failed", FAILED),
    ]
    # The same columns for Windows hosts, whose codes are 32 bits, signed as Windows gives
    # them; the expected status is the unsigned code.
    WINDOWS_CASES = [
        ("another installation in progress, after the retries", 1618, lines(START),
         START.encode() + b"\r\n", False, "busy",
         "setup.exe ended with 1618: another installation is in progress, still after the"
         " retries (vorx_busy_retries)"),
        ("a restart started", 1641, lines(START), START.encode() + b"\r\n", False,
         "reboot_started", "setup.exe ended with 1641: it has started a restart"),
        ("the command crashed before the start line", -1073741819, "", None, False, "failed",
         "installvorx.exe itself crashed with exception code 0xC0000005 before it started"
         " setup.exe"),
        ("the command crashed, its own error line", -1073741571, lines(INTERNAL), None, False,
         "failed", "installvorx.exe itself crashed with exception code 0xC00000FD before it"
         " started setup.exe\n" + INTERNAL),
        ("a launcher's code as large as an NTSTATUS", -1073741819, lines(START),
         START.encode() + b"\r\n", False, "failed",
         "setup.exe ended with its own code 3221225477 (0xC0000005)"),
        ("the largest code below the NTSTATUS errors", 0xBFFFFFFF, lines(START),
         START.encode() + b"\r\n", False, "failed", "setup.exe ended with its own code 3221225471"),
        ("a restart required", 3010, lines(START), START.encode() + b"\r\n", True,
         "reboot_required", "setup.exe ended with 3010: the play restarted the host"),
        ("Windows Installer's completed successfully", 1707, lines(START),
         START.encode() + b"\r\n", False, "installed", None),
        ("1707 without the installation log", 1707, lines(START), None, False, "failed",
         "installvorx ended with 1707, but no installation log of the run was found to confirm"
         " the installation"),
    ]

    def test_every_status_has_its_outcome_and_message(self):
        log_path = "/l/installvorx_2026-12-08_10-00-00.log"
        for windows, cases in ((False, self.CASES), (True, self.WINDOWS_CASES)):
            for name, status, stdout, log, rebooted, expected, message in cases:
                with self.subTest(name, windows=windows):
                    run = {"status": status, "stdout": stdout, "start": "2026-12-08T10:00:00Z",
                           "logs_before": {}, "logs_after": {}, "texts": {}, "attempts": 4,
                           "success_codes": [42]}
                    if log is not None:
                        run["logs_after"] = {log_path: len(log)}
                        run["texts"] = {log_path: base64.b64encode(log).decode()}
                    unsigned = status & 0xFFFFFFFF if windows else status
                    self.assertEqual(vorx_rules.run_outcome(run, windows, rebooted),
                                     {"outcome": expected, "status": unsigned, "message": message})

    def test_a_run_whose_retries_ran_out_is_busy(self):
        run = {"status": 1618, "stdout": lines(START), "start": "x", "failed": True,
               "attempts": 3, "msg": "Retries exceeded"}
        self.assertEqual(outcome.outcome(run, {"result": None}, True)["outcome"], "busy")

    def test_a_launcher_still_running_at_the_timeout_times_the_host_out(self):
        run = {"status": -15, "stdout": lines(START), "start": "x", "timed_out": True,
               "timeout": 2}
        self.assertEqual(vorx_rules.run_outcome(run), {
            "outcome": "timed_out", "status": None,
            "message": "installvorx was still running after 2 s (vorx_timeout): it and its"
                       " launcher were stopped, so the installation may be incomplete"})

    def test_a_command_that_did_not_start_fails_the_host(self):
        cases = [
            ({"status": None, "start": "x",
              "start_error": "[Errno 2] No such file or directory: '/k/x'"},
             r"^installvorx could not be started: \[Errno 2\] No such file or directory"),
            ({"failed": True, "msg": "Exception calling \"SearchPath\""},
             "^the run failed: Exception calling"),
            ({"skipped": True}, "^installvorx was not run"),
            ({"status": True, "start": "x"}, "could not be started: no status"),
            (None, "^installvorx was not run"),
        ]
        for run, message in cases:
            with self.subTest(run=run):
                record = outcome.outcome(run, {"result": None})
                self.assertEqual((record["outcome"], record["status"]), ("failed", None))
                self.assertRegex(record["message"], message)


STATE = {"version": VERSION, "outcome": "installed", "time": "2026-12-08T10:00:00Z",
         "status": 0, "settings_sha256": "aaa"}
KIT = {"setup_exe": True, "command": True, "log_dir": True}
SUMS = {"expected": "A" * 64, "actual": "b" * 64, "error": None, "path": "/k/setup.exe"}


def found(state, there=True):
    """What the run module returns for a host where it found state at the record's name."""
    return {"record": state, "record_found": there, "record_path": "/s/r.json", "marker": None}


LOST = {"unreachable": True, "msg": "Failed to connect to the host via ssh: Connection refused"}


class RecordsTest(unittest.TestCase):
    JOB = {"result": None, "digest": "aaa"}
    REJECTED = {"outcome": "rejected", "status": None, "message": PORT}
    # name, run result, job, windows, first contact, expected outcome, expected message
    NOT_RUN = [
        ("rejected on the controller", None, {"result": REJECTED}, False, None, "rejected", PORT),
        ("installed by an earlier run", {"record": STATE}, JOB, False, None,
         "already_installed",
         "installed on 2026-12-08T10:00:00Z (outcome installed, status 0); nothing ran"),
        ("installed with other settings", {"record": STATE}, {"result": None, "digest": "bbb"},
         False, None, "already_installed",
         "installed on 2026-12-08T10:00:00Z (outcome installed, status 0); nothing ran; the"
         " settings differ from that run's (SHA-256 aaa, now bbb): vorx_force: true installs"
         " again"),
        ("installed with the launcher's defaults", {"record": dict(STATE, settings_sha256=None)},
         {"result": None, "digest": None}, False, None, "already_installed",
         "installed on 2026-12-08T10:00:00Z (outcome installed, status 0); nothing ran"),
        ("the vorx_installed_when path", {"installed_when_exists": True, "record": None}, JOB,
         False, None, "already_installed",
         "already installed: the vorx_installed_when path exists"),
        ("a state record that cannot be read", {"record": None, "record_error": "/s/x.json: bad"},
         JOB, False, None, "failed",
         "the state record cannot be read (/s/x.json: bad): vorx_force: true installs again"),
        ("an empty object at the record's name", found({}), JOB, False, None, "failed",
         "the state record cannot be read (/s/r.json: not a record of this installation (keys"
         " )): vorx_force: true installs again"),
        ("a list at the record's name", found([]), JOB, False, None, "failed",
         "the state record cannot be read (/s/r.json: not a record of this installation (a"
         " JSON list)): vorx_force: true installs again"),
        ("a text at the record's name", found("installed"), JOB, True, None, "failed",
         "the state record cannot be read (/s/r.json: not a record of this installation (a"
         " JSON text)): vorx_force: true installs again"),
        ("null at the record's name", found(None), JOB, False, None, "failed",
         "the state record cannot be read (/s/r.json: not a record of this installation (a"
         " JSON null)): vorx_force: true installs again"),
        ("another version's record", found(dict(STATE, version="6.0.0-00")), JOB, False, None,
         "failed", "the state record cannot be read (/s/r.json: a record of version"
         f" '6.0.0-00', not {VERSION}): vorx_force: true installs again"),
        ("a record with a key of its own", found(dict(STATE, extra=1)), JOB, False, None,
         "failed", "the state record cannot be read (/s/r.json: not a record of this"
         " installation (keys extra, outcome, settings_sha256, status, time, version)):"
         " vorx_force: true installs again"),
        ("a record of a failure, its status a text", found(dict(STATE, outcome="failed",
                                                                status="0")), JOB, False, None,
         "failed", "the state record cannot be read (/s/r.json: not a record of this"
         " installation (outcome, status: 'failed', '0')): vorx_force: true installs again"),
        ("a record whose time is no time", found(dict(STATE, time=None)), JOB, False, None,
         "failed", "the state record cannot be read (/s/r.json: not a record of this"
         " installation (time: None)): vorx_force: true installs again"),
        ("the marker of an interrupted run", dict(found(None, False), marker={
            "path": "/s/m.running", "time": "2026-12-08T10:00:00Z"}), JOB, False, None,
         "failed", "an earlier run (started 2026-12-08T10:00:00Z) was interrupted before its"
         " outcome was recorded (its marker /s/m.running is still there): the launcher may"
         " have installed VORX; check the host, then vorx_force: true runs again"),
        ("check mode, an unreadable record", {"check": KIT, "record": None, "record_found": True,
                                              "record_error": "/s/r.json: not a regular file"},
         JOB, False, None, "failed", "the state record cannot be read (/s/r.json: not a regular"
         " file): vorx_force: true installs again"),
        ("check mode, another setup.exe", {"check": KIT, "record": None, "launcher": SUMS},
         JOB, False, None, "failed", "the kit's setup.exe (/k/setup.exe) has SHA-256 " + "b" * 64
         + ", not the " + "A" * 64 + " of vorx_launcher_sha256: nothing ran on the host"),
        ("a setup.exe that cannot be read", {"record": None, "launcher": dict(
            SUMS, actual=None, error="[Errno 2] No such file")}, JOB, True, {}, "failed",
         "the kit's setup.exe cannot be read to compare it with vorx_launcher_sha256 "
         + "A" * 64 + " ([Errno 2] No such file): nothing ran on the host"),
        ("a state folder that takes no marker", {"record": None, "state_error":
                                                 "/s/m.running: [Errno 28] No space left"},
         JOB, False, None, "failed", "the run's marker cannot be written (/s/m.running: [Errno"
         " 28] No space left): nothing ran, since no outcome could be recorded"),
        ("check mode, a new host", {"check": KIT, "record": None}, JOB, False, None,
         "would_install",
         "check mode: the settings are accepted and the kit is in place; nothing ran on the host"),
        ("check mode, an installed host", {"check": KIT, "record": STATE}, JOB, False, None,
         "already_installed",
         "installed on 2026-12-08T10:00:00Z (outcome installed, status 0); nothing ran"),
        ("check mode, a broken host", {"check": dict(KIT, setup_exe=False, log_dir=False),
                                       "record": None}, JOB, False, None, "failed",
         "check mode: missing on the host: the kit's setup.exe, the log folder"),
        ("an unreachable Linux host", LOST, JOB, False, None, "unreachable",
         "Failed to connect to the host via ssh: Connection refused"),
        ("a Windows host unreachable at first contact", None, JOB, True, LOST, "unreachable",
         "Failed to connect to the host via ssh: Connection refused"),
        ("a Windows host lost during its run", dict(LOST, msg="connection reset"), JOB, True,
         {"ansible_facts": {}}, "reboot_started",
         "the connection was lost during the run (connection reset): the launcher has started a"
         " restart (1641), its status is unknown; the logs stay on the host"),
    ]

    def test_records_of_hosts_where_nothing_ran(self):
        for name, run, job, windows, contact, expected, message in self.NOT_RUN:
            with self.subTest(name):
                self.assertEqual(outcome.outcome(run, job, windows, False, contact),
                                 {"outcome": expected, "status": None, "message": message})

    def test_the_run_starts_only_where_nothing_says_vorx_is_there(self):
        # installed_when given, its path exists, record found, marker found, force: starts
        cases = [((False, False, False, False, False), True),
                 ((False, False, True, False, False), False),
                 ((False, False, False, True, False), False),
                 ((False, False, True, True, True), True),
                 ((True, False, True, True, False), True),
                 ((True, True, False, False, True), False)]
        for (given, exists, record_found, marker, force), starts in cases:
            found_there = {"installed_when_given": given, "installed_when_exists": exists,
                           "record_found": record_found, "marker_found": marker}
            with self.subTest(**found_there, force=force):
                self.assertEqual(vorx_rules.starts(found_there, force), starts)
        self.assertTrue(vorx_rules.launcher_matches(None))
        self.assertTrue(vorx_rules.launcher_matches(dict(SUMS, actual="a" * 64)))
        self.assertFalse(vorx_rules.launcher_matches(SUMS))

    # name, task, result, run, expected status, expected message
    STEPS = [
        ("a module's message", "Copy the settings file to the host",
         {"failed": True, "msg": "Destination not writable"}, None, None,
         "Copy the settings file to the host: Destination not writable"),
        ("standard error before a generic message", "Fetch the logs of the run",
         {"msg": "non-zero return code", "stderr": "disk full\n"}, None, None,
         "Fetch the logs of the run: disk full"),
        ("wrong variables, every one", "Validating arguments against arg spec 'main' - x",
         {"msg": "Validation of arguments failed:\nmissing required arguments: vorx_kit_dir",
          "argument_errors": ["missing required arguments: vorx_kit_dir",
                              "vorx_settings.VORX_INSTALLDIR. Supported parameters include: x"]},
         None, None,
         "wrong variables: missing required arguments: vorx_kit_dir; "
         "vorx_settings.VORX_INSTALLDIR. Supported parameters include: x"),
        ("after installvorx ran", "Fetch the logs of the run", {"msg": "gone"},
         {"status": 0, "stdout": START, "start": "2026-12-08 10:00:00.1"}, 0,
         "Fetch the logs of the run: gone"),
        ("after installvorx failed to start", "Decide", {"msg": "could not be started"},
         {"status": None, "msg": "[Errno 2]"}, None, "Decide: could not be started"),
        ("after a skipped run", "Decide", {"msg": "x"}, {"skipped": True}, None, "Decide: x"),
        ("a result without a message", "Decide", None, None, None, "Decide: failed"),
    ]

    def test_a_failing_step_names_itself_and_its_error(self):
        for name, task, result, run, status, message in self.STEPS:
            with self.subTest(name):
                self.assertEqual(outcome.step_failed(task, result, run),
                                 {"outcome": "failed", "status": status, "message": message})

    def test_failed_and_rejected_hosts_fail_the_play(self):
        cases = [("installed", False), ("already_installed", False), ("reboot_required", False),
                 ("reboot_started", False), ("would_install", False), ("failed", True),
                 ("rejected", True), ("unreachable", True), ("busy", True), ("timed_out", True),
                 ("skipped", True), ("unheard-of", True)]
        for kind, failure in cases:
            with self.subTest(kind):
                self.assertEqual(outcome.is_failure({"outcome": kind}), failure)
        self.assertTrue(outcome.is_failure(None))


class SettingsTest(unittest.TestCase):
    def test_the_collections_facts_are_those_of_the_commands(self):
        def source(path):
            with open(os.path.join(collection.ROOT, "..", "..", path), encoding="utf-8") as file:
                return file.read()
        schema = source("src/core/settings_schema.h")
        names = dict(re.findall(r'k(\w+) = "([^"]*)"', schema))
        self.assertEqual(
            (vorx_facts.VERSION_SECTION, settings.VERSION_KEY, vorx_facts.SETTINGS_SECTION),
            (names["VersionSection"], names["VersionKey"], names["SettingsSection"]))
        self.assertEqual(settings.SETTINGS_KEYS,
                         tuple(re.findall(r'\{"(\w+)", ValueRule::', schema)))
        number = re.search(r"project\(installvorx VERSION (\d+)\.(\d+)\.(\d+)\.(\d+)",
                           source("CMakeLists.txt")).groups()
        self.assertEqual(VERSION, "%s.%s.%s-%02d" % (*number[:3], int(number[3])))
        # The literals of the message table, joined as the compiler joins them.
        texts = re.sub(r'"\s*\+\s*std::string\(kProductVersion\)\s*\+\s*"', VERSION,
                       source("src/core/messages.h") + source("src/core/messages.cpp"))
        texts = re.sub(r'"\s*"', "", texts)
        for text in (vorx_facts.START_TEXT, vorx_facts.FAILED_TEXT):
            self.assertIn('"%s\\n"' % text, texts)

    def test_a_mapping_becomes_a_settings_file(self):
        mapping = {"vorxversion": VERSION, "VORX_INSTDIR": "C:\\Program Files\\VORX\\",
                   "VORX_PORT": 20080, "VORX_SNMPTRAP": True, "VORX_RUNSERVICE": False,
                   "VORX_DBDIR": None, "VORX_IPADDRESS": '"host a"'}
        content = (f"[VORX]\r\nvorxversion={VERSION}\r\n\r\n[INSTALLATION_SETTINGS]\r\n"
                   "VORX_INSTDIR=C:\\Program Files\\VORX\\\r\nVORX_PORT=20080\r\n"
                   "VORX_SNMPTRAP=TRUE\r\nVORX_RUNSERVICE=FALSE\r\nVORX_IPADDRESS=\"host a\"\r\n")
        self.assertEqual(settings.render_settings(mapping),
                         {"refusal": None, "encoding": "ascii", "content": content})

    def test_a_mapping_beyond_ascii_is_stored_with_the_utf16_mark(self):
        rendered = settings.render_settings({"VORX_INSTDIR": "C:\\Programme\\Größe ソフト"})
        self.assertEqual(rendered, {"refusal": None, "encoding": "utf-16-le", "content": (
            "\ufeff[VORX]\r\n\r\n[INSTALLATION_SETTINGS]\r\n"
            "VORX_INSTDIR=C:\\Programme\\Größe ソフト\r\n")})

    def test_a_mapping_without_a_version_leaves_the_refusal_to_the_check(self):
        self.assertEqual(settings.render_settings({"VORX_PORT": "1"})["content"],
                         "[VORX]\r\n\r\n[INSTALLATION_SETTINGS]\r\nVORX_PORT=1\r\n")

    REFUSED = [
        ("a line break", {"vorxversion": VERSION, "VORX_INSTDIR": "C:\\x\nVORX_PORT=1"},
         "vorx_settings: VORX_INSTDIR holds a line break, which a settings file cannot carry"),
        ("a carriage return", {"VORX_DBDIR": "C:\\x\r"},
         "vorx_settings: VORX_DBDIR holds a line break, which a settings file cannot carry"),
        ("an unknown key", {"VORX_INSTALLDIR": "C:\\x"},
         "vorx_settings: VORX_INSTALLDIR is not a settings key"),
        ("a key in another case", {"vorx_port": "1"},
         "vorx_settings: vorx_port is not a settings key"),
        ("a list", {"VORX_PORT": [1, 2]},
         "vorx_settings: VORX_PORT must be a text, a number or true/false"),
        ("a lone surrogate", {"VORX_DBDIR": "C:\\\udc80"},
         "vorx_settings: VORX_DBDIR holds text that is not a character"),
        ("not a mapping", "VORX_PORT=1", "vorx_settings must be a mapping of keys to values"),
    ]

    def test_a_mapping_that_no_file_can_carry_is_refused(self):
        for name, mapping, refusal in self.REFUSED:
            with self.subTest(name):
                self.assertEqual(settings.render_settings(mapping),
                                 {"content": None, "encoding": None, "refusal": refusal})

    def test_the_plan_names_the_file_to_check(self):
        here = os.getcwd()
        # name, vorx_settings, vorx_settings_file, vorx_launcher_defaults, inventory folder,
        # expected source
        cases = [
            ("a mapping", {"VORX_PORT": 1}, None, False, "/inv", "/r/h/settings.ini"),
            ("a file, relative to the inventory's folder", None, "site/a.ini", False, "/inv",
             "/inv/site/a.ini"),
            ("a file up from the inventory's folder", None, "../a.ini", False, "/inv/x",
             "/inv/a.ini"),
            ("a relative file without an inventory folder", None, "site/a.ini", False, None,
             os.path.join(here, "site", "a.ini")),
            ("an absolute file", None, "/etc/a.ini", False, "/inv", "/etc/a.ini"),
            ("the launcher's defaults", None, None, True, "/inv", None),
        ]
        for name, mapping, settings_file, defaults, folder, source in cases:
            with self.subTest(name):
                plan = settings.settings_plan(mapping, settings_file, defaults,
                                              "/r/h/settings.ini", folder, ["vorx_kit_dir"])
                self.assertEqual((plan["source"], plan["refusal"]), (source, None))

    # name, vorx_settings, vorx_settings_file, vorx_launcher_defaults, vorx_ names, refusal
    NO_CHOICE = [
        ("both", {"VORX_PORT": 1}, "a.ini", False, [],
         "give exactly one of vorx_settings, vorx_settings_file or vorx_launcher_defaults: true"
         " (vorx_settings and vorx_settings_file given)"),
        ("neither", None, None, False, ["vorx_kit_dir"],
         "give exactly one of vorx_settings, vorx_settings_file or vorx_launcher_defaults: true"
         " (none given)"),
        ("defaults and a file", None, "a.ini", True, [],
         "give exactly one of vorx_settings, vorx_settings_file or vorx_launcher_defaults: true"
         " (vorx_settings_file and vorx_launcher_defaults given)"),
        ("a misspelt variable", None, None, True, ["vorx_kit_dir", "vorx_setings_file"],
         "unknown variable(s) vorx_setings_file: not one of the role's (a misspelling?)"),
        ("two, before the missing choice", None, None, False, ["vorx_x", "vorx_forse"],
         "unknown variable(s) vorx_forse, vorx_x: not one of the role's (a misspelling?)"),
    ]

    def test_a_host_without_one_known_choice_is_refused(self):
        for name, mapping, settings_file, defaults, names, refusal in self.NO_CHOICE:
            with self.subTest(name):
                self.assertEqual(
                    settings.settings_plan(mapping, settings_file, defaults, "/r", "/i", names),
                    {"source": None, "content": None, "encoding": None, "refusal": refusal,
                     "from_file": False})

    def test_the_controller_writes_the_rendered_files_and_checks_each_file_once(self):
        def plan(source, content=None, refusal=None):
            return {"source": source, "content": content,
                    "encoding": "ascii" if content else None, "refusal": refusal}
        plans = {"a": plan("/r/a/settings.ini", "[VORX]\r\n"), "b": plan("/site.ini"),
                 "c": plan("/site.ini"), "d": plan(None), "e": plan(None, refusal="no")}
        self.assertEqual(settings.settings_files(plans), {
            "write": {"/r/a/settings.ini": ["[VORX]\r\n", "ascii"]},
            "check": ["/r/a/settings.ini", "/site.ini"]})
        self.assertEqual(settings.check_argv(["/a.ini", "/b.ini"], "/usr/bin/installvorx-check"),
                         ["/usr/bin/installvorx-check", "--json", "/a.ini", "/b.ini"])

    def test_every_host_of_the_batch_is_planned_from_its_variables(self):
        class Broken(dict):
            def __getitem__(self, key):
                if key == "vorx_settings_file":
                    raise AnsibleUndefinedVariable("'site_file' is undefined")
                return super().__getitem__(key)
        with open(os.path.join(HERE, "..", "roles", "vorx_install", "meta",
                               "argument_specs.yml"), encoding="utf-8") as specs:
            spec = yaml.safe_load(specs)["argument_specs"]["main"]["options"]
        kit = {"vorx_kit_dir": "/k"}
        hostvars = {
            "a": dict(kit, vorx_settings={"VORX_PORT": 1}, vorx_check_strict="yes"),
            "b": dict(kit, vorx_settings_file="s/b.ini", inventory_dir="/inv",
                      vorx_results_dir="/other"),
            "c": dict(kit, vorx_launcher_defaults="true", vorx_tiemout=5),
            "d": Broken(kit, vorx_settings_file="x"),
            "e": {"vorx_launcher_defaults": True},
            "f": dict(kit, vorx_launcher_defaults=True, vorx_timeout="soon"),
            "g": dict(kit, vorx_launcher_defaults=True, vorx_timeout=-5),
            "h": dict(kit, vorx_launcher_defaults=True, vorx_timeout=True),
            "i": dict(kit, vorx_launcher_defaults=True, vorx_timeout=None),
            "j": dict(kit, vorx_launcher_defaults=True, vorx_timeout="30"),
            "k": dict(kit, vorx_launcher_defaults=True, vorx_launcher_sha256="ab" * 32,
                      vorx_success_codes=["42"]),
            "l": dict(kit, vorx_launcher_defaults=True, vorx_launcher_sha256="ab12",
                      vorx_success_codes=[3010, 0, True]),
        }
        plans = settings.settings_plans(hostvars, list(hostvars), "/r", False, spec)
        self.assertEqual({host: (plan["source"], plan["refusal"], plan["failure"], plan["strict"])
                          for host, plan in plans.items()}, {
            "a": ("/r/a/settings.ini", None, None, True),
            "b": ("/inv/s/b.ini", None, None, False),
            "c": (None, "unknown variable(s) vorx_tiemout: not one of the role's (a"
                        " misspelling?)", None, False),
            "d": (None, None, "wrong variables: 'site_file' is undefined", False),
            "e": (None, None, "wrong variables: missing required arguments: vorx_kit_dir", False),
            "f": (None, None, "wrong variables: argument 'vorx_timeout' is of type <class 'str'>"
                              " and we were unable to convert to int: <class 'str'> cannot be"
                              " converted to an int", False),
            "g": (None, None, "wrong variables: vorx_timeout must be a positive whole number of"
                              " seconds, not -5 (unset, it is 3600: raise it for a slow host)",
                  False),
            "h": (None, None, "wrong variables: vorx_timeout must be a positive whole number of"
                              " seconds, not True (unset, it is 3600: raise it for a slow host)",
                  False),
            "i": (None, None, "wrong variables: vorx_timeout must be a positive whole number of"
                              " seconds, not None (unset, it is 3600: raise it for a slow host)",
                  False),
            "j": (None, None, None, False),
            "k": (None, None, None, False),
            "l": (None, None, "wrong variables: vorx_launcher_sha256 must be a SHA-256 sum, 64"
                              " hexadecimal digits ('ab12'); vorx_success_codes: 3010 has a"
                              " meaning of its own (installvorx's 1, 2, 3 and 9; 1618, 1641,"
                              " 3010) and cannot count as success; vorx_success_codes: 0 is not"
                              " a launcher exit code (1 to 4294967295); vorx_success_codes: True"
                              " is not a launcher exit code (1 to 4294967295)", False)})
        checked = settings.settings_plans(hostvars, ["a"], "/r", True, spec)
        self.assertEqual(checked["a"]["source"], "/r/a/check-settings.ini")
        self.assertEqual(settings.settings_job(plans["e"])["result"], {
            "outcome": "failed", "status": None,
            "message": "wrong variables: missing required arguments: vorx_kit_dir"})


def check_run(status, entries, stderr=""):
    return {"rc": status, "stdout": json.dumps(entries), "stderr": stderr}


def entry(accepted, message=None, warnings=(), file="/r/h/settings.ini"):
    return {"file": file, "accepted": accepted, "message": message,
            "problems": [], "warnings": [{"line": n, "text": t} for n, t in warnings],
            "property_string": None, "launcher_argument": None}


class VerdictTest(unittest.TestCase):
    PLAN = {"source": "/r/h/settings.ini", "content": None, "refusal": None}
    MISSPELT = (4, "VORX_INSTALLDIR is not a known key; did you mean VORX_INSTDIR?")

    # name, registered check, strict, expected verdict
    CASES = [
        ("accepted", check_run(0, [entry(True)]), False,
         {"accepted": True, "message": None, "warnings": []}),
        ("accepted with a warning", check_run(0, [entry(True, warnings=[MISSPELT])]), False,
         {"accepted": True, "message": None, "warnings": [
             "line 4: VORX_INSTALLDIR is not a known key; did you mean VORX_INSTDIR?"]}),
        ("refused", check_run(2, [entry(False, PORT)]), False,
         {"accepted": False, "message": PORT, "warnings": []}),
        ("refused for a warning when strict", check_run(0, [entry(True, warnings=[MISSPELT])]),
         True, {"accepted": False, "warnings": [
             "line 4: VORX_INSTALLDIR is not a known key; did you mean VORX_INSTDIR?"],
             "message": "the settings file has warnings (vorx_check_strict): line 4: "
                        "VORX_INSTALLDIR is not a known key; did you mean VORX_INSTDIR?"}),
        ("strict without warnings", check_run(0, [entry(True)]), True,
         {"accepted": True, "message": None, "warnings": []}),
        ("accepted while another host's file is refused",
         check_run(2, [entry(False, PORT, file="/other.ini"), entry(True)]), False,
         {"accepted": True, "message": None, "warnings": []}),
        ("refused among accepted files",
         check_run(2, [entry(True, file="/other.ini"), entry(False, PORT)]), False,
         {"accepted": False, "message": PORT, "warnings": []}),
    ]

    def test_the_check_decides_whether_settings_are_accepted(self):
        for name, check, strict, verdict in self.CASES:
            with self.subTest(name):
                self.assertEqual(settings.settings_verdict(self.PLAN, check, strict), verdict)

    def test_settings_that_were_not_checked(self):
        refused = {"source": "/r/h/settings.ini", "content": None, "refusal": "no line breaks"}
        self.assertEqual(settings.settings_verdict(refused, {"skipped": True}),
                         {"accepted": False, "message": "no line breaks", "warnings": []})
        none = {"source": None, "content": None, "refusal": None}
        self.assertEqual(settings.settings_verdict(none, {"skipped": True}),
                         {"accepted": True, "message": None, "warnings": []})

    UNREADABLE = [
        ("a missing command", {"rc": 2, "stdout": "", "stderr": "",
                               "msg": "[Errno 2] No such file or directory: b'installvorx-check'"},
         r"could not check the settings \(status 2\): \[Errno 2\] No such file"),
        ("bad usage", {"rc": 1, "stdout": "", "stderr": "usage: installvorx-check\n"},
         r"\(status 1\): usage: installvorx-check"),
        ("killed", {"rc": -9, "stdout": "", "stderr": ""}, r"status -9"),
        ("no array", check_run(0, entry(True)), "cannot read"),
        ("no answer for the file", check_run(0, [entry(True, file="/other.ini")]),
         "no single answer for /r/h/settings.ini"),
        ("two answers for the file", check_run(0, [entry(True), entry(True)]), "no single"),
        ("refused without a message", check_run(2, [entry(False)]), "cannot read"),
        ("no warnings field", check_run(0, [{"file": "/r/h/settings.ini", "accepted": True,
                                             "message": None}]), "cannot read"),
        ("not JSON", {"rc": 0, "stdout": "accepted"}, "cannot read"),
        ("refused, yet status 0", check_run(0, [entry(False, PORT)]), "contradicts"),
    ]

    def test_an_answer_that_cannot_be_read_fails_the_host(self):
        for name, check, error in self.UNREADABLE:
            with self.subTest(name), self.assertRaisesRegex(AnsibleFilterError, error):
                settings.settings_verdict(self.PLAN, check)

    READ = {"rc": 0, "stdout": json.dumps(
        {"/r/h/settings.ini": {"content": "W1ZPUlhd", "sha256": "ab12"}})}

    def test_the_run_gets_the_bytes_and_digest_of_an_accepted_file(self):
        # name, plan, check, read files, expected job (without the warnings)
        refused_file = dict(self.PLAN, source="/inv/site.ini", from_file=True)
        cases = [
            ("accepted", self.PLAN, check_run(0, [entry(True)]), self.READ,
             {"result": None, "settings": "W1ZPUlhd", "digest": "ab12"}),
            ("the launcher's defaults", {"source": None, "refusal": None}, None, None,
             {"result": None, "settings": None, "digest": None}),
            ("a refused file is named", refused_file,
             check_run(2, [entry(False, PORT, file="/inv/site.ini")]), self.READ,
             {"result": {"outcome": "rejected", "status": None,
                         "message": PORT + " (vorx_settings_file: /inv/site.ini)"},
              "settings": None, "digest": None}),
            ("a file encrypted with ansible-vault is refused", refused_file,
             check_run(2, [entry(False, PORT, file="/inv/site.ini")]),
             {"stdout": json.dumps({"/inv/site.ini": {"content": "", "sha256": "",
                                                      "vault": True}})},
             {"result": {"outcome": "rejected", "status": None,
                         "message": "the settings file is encrypted with ansible-vault, which"
                                    " the rollout does not decrypt: give it decrypted, or its"
                                    " values as vorx_settings in a vault-encrypted variables"
                                    " file (vorx_settings_file: /inv/site.ini)"},
              "settings": None, "digest": None}),
        ]
        for name, plan, check, read, job in cases:
            with self.subTest(name):
                answer = settings.settings_job(plan, check, read)
                del answer["warnings"]
                self.assertEqual(answer, job)
        with self.assertRaisesRegex(AnsibleFilterError, "was not read on the controller"):
            settings.settings_job(self.PLAN, check_run(0, [entry(True)]), {"stdout": "{}"})

    def test_a_check_that_cannot_be_read_fails_every_host_with_its_cause(self):
        controller = {"rc": 0, "stdout": json.dumps({
            "read": json.loads(self.READ["stdout"]),
            "check": {"rc": 1, "stdout": "", "stderr": "usage: x\n"}})}
        jobs = settings.settings_jobs({"h": dict(self.PLAN, strict=False)}, controller)
        self.assertEqual(jobs["h"]["result"], {
            "outcome": "failed", "status": None,
            "message": "the settings check: installvorx-check could not check the settings"
                       " (status 1): usage: x (vorx_check_command names the command)"})


def listing(*files):
    """A listing of the log folder as the run module returns it: {path: size}; the times of
    the rows are not in it, as they must not matter."""
    return {path: size for path, size, _ in files}


class RunLogsTest(unittest.TestCase):
    OLD_INSTALL = ("/l/installvorx_2026-12-01_10-00-00.log", 47, 100.0)
    OLD_SETUP = ("/l/setup_2026-12-01_10-00-00.log", 32, 100.0)
    INSTALL = ("/l/installvorx_2026-12-08_10-00-00.log", 47, 200.0)
    SETUP = ("/l/setup_2026-12-08_10-00-00.log", 32, 200.0)
    LATER = ("/l/installvorx_2026-12-08_10-00-01.log", 47, 201.0)

    def pair(self, suffix):
        return [f"/l/installvorx{suffix}.log", f"/l/setup{suffix}.log"]

    def test_the_run_wrote_the_logs_that_are_new_or_changed(self):
        new = self.pair("_2026-12-08_10-00-00")
        grown = ("/l/installvorx_2026-12-08_10-00-00.log", 94, 201.0)
        cases = [
            ("a new pair", listing(), listing(self.INSTALL, self.SETUP), new),
            ("older pairs left alone", listing(self.OLD_INSTALL, self.OLD_SETUP),
             listing(self.OLD_INSTALL, self.OLD_SETUP, self.INSTALL, self.SETUP), new),
            ("a log of the same second, appended to", listing(self.INSTALL, self.SETUP),
             listing(grown, self.SETUP), new),
            ("no setup log", listing(), listing(self.INSTALL), new[:1]),
            ("only another run's setup log", listing(), listing(self.INSTALL, self.OLD_SETUP),
             new[:1]),
            ("two new: the latest", listing(), listing(self.INSTALL, self.SETUP, self.LATER),
             self.pair("_2026-12-08_10-00-01")[:1]),
            ("nothing written", listing(self.OLD_INSTALL), listing(self.OLD_INSTALL), []),
            ("names that only look alike", listing(),
             listing(("/l/installvorx_2026-12-08_10-00-00.log.1", 1, 1.0),
                     ("/l/installvorx_2026-12-8_10-00-00.log", 1, 1.0)), []),
            ("no listing after the run", listing(), {}, []),
            ("no listing at all", None, None, []),
            ("an older log whose time a clock change moved", listing(self.OLD_INSTALL),
             listing(("/l/installvorx_2026-12-01_10-00-00.log", 47, 3700.0)), []),
            ("an older log rewritten shorter", listing(self.INSTALL),
             listing(("/l/installvorx_2026-12-08_10-00-00.log", 20, 300.0)), []),
        ]
        for name, before, after, logs in cases:
            with self.subTest(name):
                self.assertEqual(vorx_rules.run_logs(before, after), logs)

    def test_windows_listings_name_their_files_with_backslashes(self):
        after = {"C:\\installvorx_2026-12-08_10-00-00.log": 47,
                 "C:\\setup_2026-12-08_10-00-00.log": 32}
        self.assertEqual(vorx_rules.run_logs({}, after), [
            "C:\\installvorx_2026-12-08_10-00-00.log", "C:\\setup_2026-12-08_10-00-00.log"])

    def test_the_logs_of_the_run_are_kept_in_the_host_folder_under_their_names(self):
        pair = self.pair("_2026-12-08_10-00-00")
        run = {"status": 0, "start": "x", "stdout": START, "logs_before": {},
               "logs_after": {pair[0]: 47, pair[1]: 32, "/l/installvorx_x.log": 1},
               "texts": {pair[0]: "aW5zdGFsbA==", pair[1]: "c2V0dXA="}}
        kept = report.report({"h": {"_vorx_run": run}}, ["h"], "/r",
                             {"h": {"result": None}})["logs"]
        self.assertEqual(kept, {"/r/h/installvorx_2026-12-08_10-00-00.log": ["aW5zdGFsbA==",
                                                                             "base64"],
                                "/r/h/setup_2026-12-08_10-00-00.log": ["c2V0dXA=", "base64"]})


class HostTest(unittest.TestCase):
    def test_windows_hosts_are_known_by_their_connection(self):
        cases = [("winrm", None, True), ("ansible.builtin.winrm", None, True),
                 ("psrp", None, True), ("ssh", "powershell", True), ("ssh", "cmd", True),
                 ("ssh", None, False), ("ssh", "sh", False), ("local", None, False),
                 (None, None, False)]
        for connection, shell, windows in cases:
            with self.subTest(connection=connection, shell=shell):
                self.assertEqual(paths.windows_host(connection, shell), windows)

    def test_paths_on_the_host(self):
        cases = [
            (paths.kit_command, ("/opt/kit", False), "/opt/kit/tools/installvorx"),
            (paths.kit_command, ("/opt/kit/", False), "/opt/kit/tools/installvorx"),
            (paths.kit_command, ("/", False), "/tools/installvorx"),
            (paths.kit_command, ("D:\\kit", True), "D:\\kit\\tools\\installvorx.exe"),
            (paths.kit_command, ("D:\\", True), "D:\\tools\\installvorx.exe"),
            (paths.kit_command, ("\\\\srv\\kit\\", True),
             "\\\\srv\\kit\\tools\\installvorx.exe"),
            (paths.log_dir, ("/var/log/vorx",), "/var/log/vorx"),
            (paths.log_dir, ("",), "/"),
            (paths.log_dir, (None,), "/"),
            (paths.log_dir, (None, True, "C:\\Windows"), "C:\\"),
            (paths.log_dir, (None, True, "D:\\WINNT"), "D:\\"),
            (paths.log_dir, (None, True, "C:"), "C:\\"),
            (paths.state_dir, (None, False), "/var/lib/vorx-rollout"),
            (paths.state_dir, (None, True), "C:\\ProgramData\\VORX-rollout"),
            (paths.state_dir, ("/srv/state", False), "/srv/state"),
            (vorx_run.command_argv, ("/k/tools/installvorx", "/tmp/s.ini"),
             ["/k/tools/installvorx", "/s", "/f", "/tmp/s.ini"]),
            (vorx_run.command_argv, ("/k/tools/installvorx", None), ["/k/tools/installvorx", "/s"]),
        ]
        for function, args, expected in cases:
            with self.subTest(function=function.__name__, args=args):
                self.assertEqual(function(*args), expected)

    def test_a_windows_host_without_systemroot_in_its_facts_fails(self):
        for root in ["", None, "Windows"]:
            with self.subTest(root=root), self.assertRaisesRegex(AnsibleFilterError,
                                                                 "no SystemRoot with a drive"):
                paths.log_dir(None, True, root)

    def test_the_state_record_follows_the_outcome(self):
        run = {"status": 0, "start": "2026-12-08T10:00:00Z"}
        cases = [("installed", 0, True), ("reboot_required", 3010, True),
                 ("reboot_started", 1641, True), ("reboot_started", None, False),
                 ("failed", 1603, False), ("busy", 1618, False), ("timed_out", None, False),
                 ("already_installed", None, False)]
        for kind, status, recorded in cases:
            with self.subTest(kind, status=status):
                state = outcome.state_record({"outcome": kind, "status": status}, run,
                                             {"digest": "ab12"})
                self.assertEqual(state, {"version": VERSION, "outcome": kind, "status": status,
                                         "time": "2026-12-08T10:00:00Z",
                                         "settings_sha256": "ab12"} if recorded else None)

    def test_results_go_to_one_folder_per_host(self):
        self.assertEqual(paths.results_folder("/r", "web-01.example.org"),
                         "/r/web-01.example.org")
        self.assertEqual(paths.results_folder("r", "h"), os.path.join(os.getcwd(), "r", "h"))
        # A name odd as a file name: each its own folder, inside the results folder.
        long_name = "h" * 119 + "\u00e9" * 50
        for name, folder in [("", "%"), (".", "%2E"), ("..", "%2E."), (".h", "%2Eh"),
                             ("h/1", "h%2F1"), ("a\\b", "a%5Cb"), ("h 1", "h%201"),
                             ("h%201", "h%25201"), ("Gr\u00f6\u00dfe", "Gr%C3%B6%C3%9Fe"),
                             ("a\0b", "a%00b"),
                             (long_name, "h" * 119 + "%%" + hashlib.sha256(
                                 long_name.encode()).hexdigest())]:
            with self.subTest(name=name):
                self.assertEqual(paths.results_folder("/r", name), "/r/" + folder)


class ReportTest(unittest.TestCase):
    INSTALLED = {"outcome": "installed", "status": 0, "message": None}
    REJECTED = {"outcome": "rejected", "status": None, "message": PORT}
    CODE = {"outcome": "failed", "status": 1603,
            "message": "setup.exe ended with its own code 1603\n" + FAILED}

    def test_every_host_of_the_play_is_in_the_summary(self):
        hostvars = {"a": {"_vorx_result": dict(self.INSTALLED, extra=1)},
                    "b": {}, "c": {"other": 1},
                    "d": {"_vorx_result": {"outcome": "bogus", "status": None, "message": None}}}
        jobs = {"b": {"result": self.REJECTED}}
        lost = {"outcome": "failed", "status": None,
                "message": "no outcome was recorded: the host left the play before its run; see"
                           " the play's output"}
        self.assertEqual(report.report(hostvars, ["a", "b", "c", "d", "e"], "/r", jobs), {
            "hosts": {"a": self.INSTALLED, "b": self.REJECTED, "c": lost, "e": lost,
                      "d": {"outcome": "bogus", "status": None, "message": None}},
            "logs": {}, "failing": ["b", "c", "d", "e"]})

    def test_the_summary_keeps_every_host_ever_run_with_its_latest_run(self):
        def slurped(data):
            return json.dumps(data)
        earlier = {"a": dict(self.CODE, run="r1"), "b": dict(self.INSTALLED, run="r1")}
        cases = [
            ("the first run", None, {"a": self.INSTALLED},
             {"a": dict(self.INSTALLED, run="r2")}),
            ("a rerun of one host", slurped(earlier), {"a": self.INSTALLED},
             {"a": dict(self.INSTALLED, run="r2"), "b": dict(self.INSTALLED, run="r1")}),
            ("a new host", slurped(earlier), {"c": self.REJECTED},
             dict(earlier, c=dict(self.REJECTED, run="r2"))),
            ("a summary the templating has read", earlier, {"c": self.REJECTED},
             dict(earlier, c=dict(self.REJECTED, run="r2"))),
        ]
        for name, previous, hosts, merged in cases:
            with self.subTest(name):
                self.assertEqual(report.merge_summary(previous, hosts, "r2"), merged)
        for broken in ["not JSON", slurped([1])]:
            with self.subTest(broken=broken), \
                    self.assertRaisesRegex(AnsibleFilterError, "not replaced"):
                report.merge_summary(broken, {}, "r2")

    def test_a_run_writes_its_file_and_merges_the_summary_and_a_check_only_check_json(self):
        run = {"hosts": {"a": self.INSTALLED},
               "logs": {"/r/a/installvorx_x.log": ["eA==", "base64"]}}
        entry = '{\n  "a": {\n    "message": null,\n    "outcome": "installed",\n'
        self.assertEqual(report.report_files(run, "r2", "/r"), {"write": {
            "/r/a/installvorx_x.log": ["eA==", "base64"],
            "/r/runs/r2.json": [entry + '    "status": 0\n  }\n}\n', "utf-8"]},
            "merge": {"/r/summary.json": {"hosts": run["hosts"], "run": "r2"}}})
        self.assertEqual(report.report_files(run, "r2", "/r", True), {"write": {}, "merge": {
            "/r/check.json": {"hosts": run["hosts"], "run": "r2"}}})

    def test_files_not_written_are_named_with_the_step(self):
        cases = [
            ("all written", {"rc": 0, "stdout": '{"errors": {}}'}, ""),
            ("skipped", {"skipped": True}, ""),
            ("one not written", {"rc": 1, "stdout": '{"errors": {"/r/summary.json": "full"}}'},
             "; Write: /r/summary.json: full"),
            ("no answer", {"rc": 1, "stdout": "", "stderr": "Traceback\n  OSError: x\n"},
             "; Write: Traceback OSError: x"),
        ]
        for name, written, lost in cases:
            with self.subTest(name):
                self.assertEqual(report.files_lost(written, "Write"), lost)

    def test_the_table_has_a_line_per_host_and_the_counts(self):
        hosts = {"web-01": self.INSTALLED, "b": self.REJECTED, "c": self.CODE}
        self.assertEqual(report.table(hosts), [
            "HOST    OUTCOME                STATUS  MESSAGE",
            "web-01  installed                   0",
            "b       rejected                    -  " + PORT,
            "c       failed                   1603  setup.exe ended with its own code 1603 | "
            + FAILED,
            "3 hosts: 1 installed, 1 failed, 1 rejected",
        ])


if __name__ == "__main__":
    unittest.main()
