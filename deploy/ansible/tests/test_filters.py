"""The decisions of the rollout, one table per filter."""

import json
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "roles", "vorx_install",
                                "filter_plugins"))
import vorx  # noqa: E402  (the plugin folder is not a package)

START = "QEDN40110-I VORX installation will now start."
FAILED = "QEDN40112-W An attempt to install VORX version 6.1.0-00 has failed."
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
    ]

    def test_every_status_has_its_outcome_and_message(self):
        with tempfile.TemporaryDirectory() as folder:
            for number, case in enumerate(self.CASES):
                name, status, stdout, log, rebooted, expected, message = case
                with self.subTest(name):
                    path = None
                    if log is not None:
                        path = os.path.join(folder, f"installvorx-{number}.log")
                        with open(path, "wb") as out:
                            out.write(log)
                    run = {"rc": status, "stdout": stdout, "start": "2026-12-08 10:00:00.1"}
                    self.assertEqual(vorx.outcome(run, path, rebooted),
                                     {"outcome": expected, "status": status, "message": message})

    def test_a_command_that_did_not_start_fails_the_host(self):
        cases = [
            ({"rc": 2, "stdout": "", "msg": "[Errno 2] No such file or directory: b'/k/x'"},
             r"^installvorx could not be started: \[Errno 2\] No such file or directory"),
            ({"failed": True, "msg": "Exception calling \"SearchPath\""},
             "could not be started: Exception calling"),
            ({"skipped": True}, "could not be started: no status"),
            ({"rc": True, "start": "x"}, "could not be started"),
            (None, "could not be started"),
        ]
        for run, message in cases:
            with self.subTest(run=run):
                record = vorx.outcome(run)
                self.assertEqual((record["outcome"], record["status"]), ("failed", None))
                self.assertRegex(record["message"], message)


class RecordsTest(unittest.TestCase):
    def test_records_of_hosts_where_nothing_ran(self):
        self.assertEqual(vorx.rejected(PORT), {"outcome": "rejected", "status": None,
                                               "message": PORT})
        self.assertEqual(vorx.skipped("/opt/vorx"), {
            "outcome": "skipped", "status": None, "message": "already installed: /opt/vorx exists"})
        accepted = {"accepted": True, "message": None, "warnings": []}
        self.assertEqual(vorx.checked_only(accepted), {
            "outcome": "skipped", "status": None,
            "message": "check mode: the settings are accepted; nothing ran on the host"})
        self.assertEqual(vorx.checked_only(dict(accepted, warnings=["line 4: x", "line 5: y"])),
                         {"outcome": "skipped", "status": None, "message": "check mode: the"
                          " settings are accepted with 2 warning(s); nothing ran on the host"})

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
         {"rc": 0, "stdout": START, "start": "2026-12-08 10:00:00.1"}, 0,
         "Fetch the logs of the run: gone"),
        ("after installvorx failed to start", "Decide", {"msg": "could not be started"},
         {"rc": 2, "msg": "[Errno 2]"}, None, "Decide: could not be started"),
        ("after a skipped run", "Decide", {"msg": "x"}, {"skipped": True}, None, "Decide: x"),
        ("a result without a message", "Decide", None, None, None, "Decide: failed"),
    ]

    def test_a_failing_step_names_itself_and_its_error(self):
        for name, task, result, run, status, message in self.STEPS:
            with self.subTest(name):
                self.assertEqual(vorx.step_failed(task, result, run),
                                 {"outcome": "failed", "status": status, "message": message})

    def test_failed_and_rejected_hosts_fail_the_play(self):
        cases = [("installed", False), ("skipped", False), ("reboot_required", False),
                 ("reboot_started", False), ("failed", True), ("rejected", True),
                 ("unheard-of", True)]
        for kind, failure in cases:
            with self.subTest(kind):
                self.assertEqual(vorx.is_failure({"outcome": kind}), failure)
        self.assertTrue(vorx.is_failure(None))


class SettingsTest(unittest.TestCase):
    def test_a_mapping_becomes_a_settings_file(self):
        settings = {"vorxversion": "6.1.0-00", "VORX_INSTDIR": "C:\\Program Files\\VORX\\",
                    "VORX_PORT": 20080, "VORX_SNMPTRAP": True, "VORX_RUNSERVICE": False,
                    "VORX_DBDIR": None, "VORX_IPADDRESS": '"host a"'}
        self.assertEqual(vorx.render_settings(settings), {"refusal": None, "encoding": "ascii",
                                                          "content": (
            "[VORX]\r\nvorxversion=6.1.0-00\r\n\r\n[INSTALLATION_SETTINGS]\r\n"
            "VORX_INSTDIR=C:\\Program Files\\VORX\\\r\nVORX_PORT=20080\r\n"
            "VORX_SNMPTRAP=TRUE\r\nVORX_RUNSERVICE=FALSE\r\nVORX_IPADDRESS=\"host a\"\r\n")})

    def test_a_mapping_beyond_ascii_is_stored_with_the_utf16_mark(self):
        rendered = vorx.render_settings({"VORX_INSTDIR": "C:\\Programme\\Größe ソフト"})
        self.assertEqual(rendered, {"refusal": None, "encoding": "utf-16-le", "content": (
            "\ufeff[VORX]\r\n\r\n[INSTALLATION_SETTINGS]\r\n"
            "VORX_INSTDIR=C:\\Programme\\Größe ソフト\r\n")})

    def test_a_mapping_without_a_version_leaves_the_refusal_to_the_check(self):
        self.assertEqual(vorx.render_settings({"VORX_PORT": "1"})["content"],
                         "[VORX]\r\n\r\n[INSTALLATION_SETTINGS]\r\nVORX_PORT=1\r\n")

    REFUSED = [
        ("a line break", {"vorxversion": "6.1.0-00", "VORX_INSTDIR": "C:\\x\nVORX_PORT=1"},
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
        for name, settings, refusal in self.REFUSED:
            with self.subTest(name):
                self.assertEqual(vorx.render_settings(settings),
                                 {"content": None, "encoding": None, "refusal": refusal})

    def test_the_plan_names_the_file_to_check(self):
        here = os.getcwd()
        cases = [
            ("a mapping", {"VORX_PORT": 1}, None, "/r/h/settings.ini"),
            ("a file, relative to the current folder", None, "site/a.ini",
             os.path.join(here, "site", "a.ini")),
            ("an absolute file", None, "/etc/a.ini", "/etc/a.ini"),
            ("neither", None, None, None),
        ]
        for name, settings, settings_file, source in cases:
            with self.subTest(name):
                self.assertEqual(vorx.settings_plan(settings, settings_file, "/r/h")["source"],
                                 source)
        self.assertEqual(vorx.settings_plan({"VORX_PORT": 1}, "a.ini", "/r/h"), {
            "source": None, "content": None, "encoding": None,
            "refusal": "give vorx_settings or vorx_settings_file, not both"})

    def test_the_controller_writes_the_rendered_files_and_checks_each_file_once(self):
        def plan(source, content=None, refusal=None):
            return {"_vorx_settings": {"source": source, "content": content,
                                       "encoding": "ascii" if content else None,
                                       "refusal": refusal}}
        hostvars = {"a": plan("/r/a/settings.ini", "[VORX]\r\n"), "b": plan("/site.ini"),
                    "c": plan("/site.ini"), "d": plan(None), "e": plan(None, refusal="no"),
                    "f": {}, "g": plan("/r/g/settings.ini", "x")}
        self.assertEqual(vorx.settings_files(hostvars, ["a", "b", "c", "d", "e", "f", "z"]), {
            "write": {"/r/a/settings.ini": ["[VORX]\r\n", "ascii"]},
            "check": ["/r/a/settings.ini", "/site.ini"]})
        self.assertEqual(vorx.check_argv(["/a.ini", "/b.ini"], "/usr/bin/installvorx-check"),
                         ["/usr/bin/installvorx-check", "--json", "/a.ini", "/b.ini"])


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
                self.assertEqual(vorx.settings_verdict(self.PLAN, check, strict), verdict)

    def test_settings_that_were_not_checked(self):
        refused = {"source": "/r/h/settings.ini", "content": None, "refusal": "no line breaks"}
        self.assertEqual(vorx.settings_verdict(refused, {"skipped": True}),
                         {"accepted": False, "message": "no line breaks", "warnings": []})
        none = {"source": None, "content": None, "refusal": None}
        self.assertEqual(vorx.settings_verdict(none, {"skipped": True}),
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
            with self.subTest(name), self.assertRaisesRegex(vorx.AnsibleFilterError, error):
                vorx.settings_verdict(self.PLAN, check)


def listing(*files):
    return {"files": [{"path": path, "size": size, "mtime": time} for path, size, time in files]}


class RunLogsTest(unittest.TestCase):
    OLD_INSTALL = ("/l/installvorx_2026-12-01_10-00-00.log", 47, 100.0)
    OLD_SETUP = ("/l/setup_2026-12-01_10-00-00.log", 32, 100.0)
    INSTALL = ("/l/installvorx_2026-12-08_10-00-00.log", 47, 200.0)
    SETUP = ("/l/setup_2026-12-08_10-00-00.log", 32, 200.0)
    LATER = ("/l/installvorx_2026-12-08_10-00-01.log", 47, 201.0)

    def pair(self, suffix):
        return [{"path": f"/l/installvorx{suffix}.log", "name": f"installvorx{suffix}.log"},
                {"path": f"/l/setup{suffix}.log", "name": f"setup{suffix}.log"}]

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
            ("no listing after the run", listing(), {"skipped": True}, []),
            ("no listing at all", None, None, []),
        ]
        for name, before, after, logs in cases:
            with self.subTest(name):
                self.assertEqual(vorx.run_logs(before, after), logs)

    def test_windows_listings_name_their_files_with_backslashes(self):
        after = {"files": [
            {"path": "C:\\installvorx_2026-12-08_10-00-00.log", "size": 47, "lastwritetime": 2.0},
            {"path": "C:\\setup_2026-12-08_10-00-00.log", "size": 32, "lastwritetime": 2.0}]}
        self.assertEqual(vorx.run_logs({"files": []}, after), [
            {"path": "C:\\installvorx_2026-12-08_10-00-00.log",
             "name": "installvorx_2026-12-08_10-00-00.log"},
            {"path": "C:\\setup_2026-12-08_10-00-00.log", "name": "setup_2026-12-08_10-00-00.log"}])

    def test_the_installation_log_is_read_where_it_was_fetched(self):
        self.assertEqual(vorx.installation_log(self.pair("_x"), "/r/h"), "/r/h/installvorx_x.log")
        self.assertIsNone(vorx.installation_log([], "/r/h"))


class HostTest(unittest.TestCase):
    def test_windows_hosts_are_known_by_their_connection(self):
        cases = [("winrm", None, True), ("ansible.builtin.winrm", None, True),
                 ("psrp", None, True), ("ssh", "powershell", True), ("ssh", "cmd", True),
                 ("ssh", None, False), ("ssh", "sh", False), ("local", None, False),
                 (None, None, False)]
        for connection, shell, windows in cases:
            with self.subTest(connection=connection, shell=shell):
                self.assertEqual(vorx.windows_host(connection, shell), windows)

    def test_paths_on_the_host(self):
        cases = [
            (vorx.kit_command, ("/opt/kit", False), "/opt/kit/tools/installvorx"),
            (vorx.kit_command, ("/opt/kit/", False), "/opt/kit/tools/installvorx"),
            (vorx.kit_command, ("/", False), "/tools/installvorx"),
            (vorx.kit_command, ("D:\\kit", True), "D:\\kit\\tools\\installvorx.exe"),
            (vorx.kit_command, ("D:\\", True), "D:\\tools\\installvorx.exe"),
            (vorx.kit_command, ("\\\\srv\\kit\\", True), "\\\\srv\\kit\\tools\\installvorx.exe"),
            (vorx.linux_log_dir, ("/var/log/vorx",), "/var/log/vorx"),
            (vorx.linux_log_dir, ("",), "/"),
            (vorx.linux_log_dir, (None,), "/"),
            (vorx.windows_log_dir, ("C:\\Windows",), "C:\\"),
            (vorx.windows_log_dir, ("D:\\WINNT",), "D:\\"),
            (vorx.windows_log_dir, ("C:",), "C:\\"),
            (vorx.windows_log_dir, ("",), "C:\\"),
            (vorx.windows_log_dir, (None,), "C:\\"),
            (vorx.command_argv, ("/k/tools/installvorx", "/tmp/s.ini"),
             ["/k/tools/installvorx", "/s", "/f", "/tmp/s.ini"]),
            (vorx.command_argv, ("/k/tools/installvorx", None), ["/k/tools/installvorx", "/s"]),
        ]
        for function, args, expected in cases:
            with self.subTest(function=function.__name__, args=args):
                self.assertEqual(function(*args), expected)

    def test_restarts_follow_the_launcher_codes(self):
        cases = [(3010, True, True, False), (3010, False, False, False),
                 (1641, True, False, True), (0, True, False, False)]
        for status, allowed, wanted, restarting in cases:
            with self.subTest(status=status, allowed=allowed):
                self.assertEqual(vorx.wants_reboot({"rc": status}, allowed), wanted)
                self.assertEqual(vorx.host_restarting({"rc": status}), restarting)
        self.assertFalse(vorx.host_restarting(None))

    def test_results_go_to_one_folder_per_host(self):
        self.assertEqual(vorx.results_folder("/r", "web-01.example.org"),
                         "/r/web-01.example.org")
        self.assertEqual(vorx.results_folder("r", "h"), os.path.join(os.getcwd(), "r", "h"))
        for name in ["", ".", "..", "a/b", "a\\b"]:
            with self.subTest(name=name), \
                    self.assertRaisesRegex(vorx.AnsibleFilterError, "cannot name"):
                vorx.results_folder("/r", name)


class ReportTest(unittest.TestCase):
    INSTALLED = {"outcome": "installed", "status": 0, "message": None}
    REJECTED = {"outcome": "rejected", "status": None, "message": PORT}
    CODE = {"outcome": "failed", "status": 1603,
            "message": "setup.exe ended with its own code 1603\n" + FAILED}

    def test_every_host_of_the_play_is_in_the_summary(self):
        hostvars = {"a": {"vorx_result": dict(self.INSTALLED, extra=1)},
                    "b": {"vorx_result": self.REJECTED}, "c": {"other": 1},
                    "d": {"vorx_result": {"outcome": "bogus"}}}
        lost = {"outcome": "failed", "status": None,
                "message": "no outcome was recorded: the host left the play (unreachable during"
                           " the run); see the play's output"}
        self.assertEqual(vorx.summary(hostvars, ["a", "b", "c", "d", "e"]), {
            "a": self.INSTALLED, "b": self.REJECTED, "c": lost, "d": lost, "e": lost})

    def test_the_table_has_a_line_per_host_and_the_counts(self):
        report = {"web-01": self.INSTALLED, "b": self.REJECTED, "c": self.CODE}
        self.assertEqual(vorx.table(report), [
            "HOST    OUTCOME          STATUS  MESSAGE",
            "web-01  installed             0",
            "b       rejected              -  " + PORT,
            "c       failed             1603  setup.exe ended with its own code 1603 | " + FAILED,
            "3 hosts: 1 installed, 1 failed, 1 rejected",
        ])


if __name__ == "__main__":
    unittest.main()
