"""install.yml against a fleet of Linux hosts on this machine, each with its own kit and
log folder, the fake launcher doing what each case asks; one host over a real SSH connection
to a private sshd. Every host's outcome, status, message and fetched logs are checked, and
what must not have happened on it.

Needs root (installvorx installs only as root), the Linux build and installvorx-check: see
fleet.Build for where they are looked for."""

import concurrent.futures
import hashlib
import json
import os
import re
import shutil
import subprocess
import unittest

import jsonschema

import collection
import fleet
from ansible_collections.vorx.rollout.plugins.filter.paths import file_name
from ansible_collections.vorx.rollout.plugins.module_utils.vorx_facts import (
    FAILED_TEXT as FAILED, MARKER_NAME as MARKER_FILE, RECORD_NAME as RECORD_FILE, VERSION)

PORT = ("QEDN40123-W A definition in the installation information settings file is invalid."
        " (VORX_PORT=80a)")
FULL = {"vorxversion": VERSION, "VORX_INSTDIR": "C:\\Program Files\\VORX\\",
        "VORX_DBDIR": "D:\\VORX Data\\db", "VORX_IPADDRESS": "192.0.2.10", "VORX_PORT": 20080,
        "VORX_SNMPTRAP": True, "VORX_SNMPIPADDRESS": "host a", "VORX_SNMPTRAPPORT": "162",
        "VORX_RUNSERVICE": False}
MINIMAL = {"vorxversion": VERSION}
AS_IT_STANDS = ("; written by hand: CR LF, comments, quotes, a ; inside a value\r\n[VORX]\r\n"
                f"vorxversion = {VERSION}\r\n\r\n[INSTALLATION_SETTINGS]\r\n"
                "VORX_INSTDIR=\"C:\\a b\"\r\n; VORX_PORT=1\r\nVORX_DBDIR=D:\\db;x\r\n")
MISSPELT = f"[VORX]\nvorxversion={VERSION}\n[INSTALLATION_SETTINGS]\nVORX_INSTALLDIR=C:\\x\n"
OLD_SUFFIX = "_2001-01-01_00-00-00"
# A launcher that never ends by itself; its process id shows whether it was stopped.
SLEEPING = '#!/bin/sh\necho $$ >"$(dirname "$0")/fake-pid"\nexec sleep 600\n'
RECORD = {"version": VERSION, "outcome": "installed", "time": "2026-12-01T10:00:00Z",
          "status": 0, "settings_sha256": None}
FIFO = object()  # a state file laid out as a FIFO
PLANTED = "planted"  # the file a link at the record's old temporary name points to
# A launcher that reports success, after noting what the state folder holds while it runs
# and then putting a file where that folder was, so that no state can be written.
STATE_BREAKER = ('#!/bin/sh\nhere=$(dirname "$0")\nls -A "$here/../state" >"$here/fake-state"\n'
                 'rm -rf "$here/../state" && : >"$here/../state"\n'
                 'for arg; do case $arg in /f2*) printf \'ResultCode=0\\r\\n\' >"${arg#/f2}";;'
                 ' esac; done\n')
with open(os.path.join(collection.ROOT, "docs", "results.schema.json"),
          encoding="utf-8") as _schema:
    RESULTS_SCHEMA = json.load(_schema)


def running(pid):
    """Whether the process runs: a process that has ended but that its new parent has not yet
    collected (a zombie, state Z) does not."""
    try:
        with open(f"/proc/{pid}/stat", encoding="ascii") as stat:
            return stat.read().rsplit(")", 1)[1].split()[0] != "Z"
    except FileNotFoundError:
        return False


def read_results(path):
    """A results file of the play, which must be what the collection's schema says."""
    with open(path, encoding="utf-8") as data:
        results = json.load(data)
    jsonschema.validate(results, RESULTS_SCHEMA)
    return results


def usable_build():
    """The build to test with; the test is skipped where installvorx cannot install."""
    if os.geteuid() != 0:
        raise unittest.SkipTest("installvorx installs only as root: run the tests as root")
    build = fleet.Build()
    missing = build.missing()
    if missing:
        raise AssertionError(f"the fleet test cannot run: {missing}")
    return build


class Case:
    """One host: how it is laid out, its variables, and what the play must conclude.

    logs: "pair" (both logs of the run fetched), "installation" (only that one), or None;
    message: the exact text, or a compiled pattern it must match from its start;
    settings_file: the text of a settings file on the controller, named by the host's
    vorx_settings_file (relative: by a name relative to the inventory's folder); untouched:
    the launcher must not have run and the log folder must hold what it held before;
    choice: a host without settings gets vorx_launcher_defaults; setup_script: a shell
    script as setup.exe instead of the fake launcher; recorded: the state record of an
    earlier installation is on the host; state_files: {name: text, FIFO, or PLANTED (a link
    to a file of the host's folder)} laid out in its state folder; launcher_sum: the host's
    vorx_launcher_sha256 is the fake launcher's (True, in capitals) or another (False)."""

    def __init__(self, name, outcome, status, message, logs=None, launcher=None, variables=None,
                 settings_file=None, setup_exe=True, command=True, untouched=False,
                 installed=False, old_logs=False, unreachable=False, log_dir="logs",
                 choice=True, relative=False, setup_script=None, recorded=False,
                 state_files=None, launcher_sum=None):
        self.name, self.outcome, self.status, self.message = name, outcome, status, message
        self.logs, self.launcher, self.variables = logs, launcher, dict(variables or {})
        self.settings_file, self.setup_exe, self.command = settings_file, setup_exe, command
        self.untouched, self.installed, self.old_logs = untouched, installed, old_logs
        self.unreachable, self.log_dir = unreachable, log_dir
        self.choice, self.relative, self.setup_script = choice, relative, setup_script
        self.recorded, self.state_files = recorded, dict(state_files or {})
        self.launcher_sum = launcher_sum


def settings(mapping):
    return {"vorx_settings": mapping}


CASES = [
    Case("installed-full", "installed", 0, None, "pair", variables=settings(FULL)),
    Case("installed-file", "installed", 0, re.compile(r"installvorx-check warned: line 8: VORX_D"),
         "pair", settings_file=AS_IT_STANDS),
    Case("installed-no-settings", "installed", 0, None, "pair"),
    Case("installed-older-logs", "installed", 0, None, "pair", variables=settings(MINIMAL),
         old_logs=True),
    Case("installed-launcher-appends", "installed", 0, None, "pair",
         launcher={"fake-append": "setup: 3 features installed\r\n"},
         variables={"vorx_installed_when": "/nonexistent/vorx/installed"}),
    Case("installed-log-dir-with-blanks", "installed", 0, None, "pair",
         variables=settings(FULL), log_dir="log folder 'x'"),
    Case("installed-beyond-ascii", "installed", 0,
         re.compile(r"installvorx-check warned: line 5: VORX_I"), "pair",
         variables=settings({"vorxversion": VERSION,
                             "VORX_INSTDIR": "C:\\Programme\\Größe ソフト"})),
    Case("installed-misspelt-key-warned", "installed", 0,
         re.compile(r"installvorx-check warned: line 4: \S"), "pair", settings_file=MISSPELT),
    Case("rejected-vault", "rejected", None,
         re.compile(r"the settings file is encrypted with ansible-vault, which the rollout does"
                    r" not decrypt: .*\(vorx_settings_file: /.*/site\.ini\)$"),
         settings_file="$ANSIBLE_VAULT;1.1;AES256\n6136\n", untouched=True),
    # Host names odd as file names, each with its own results folder inside the results.
    Case("..", "installed", 0, None, "pair", variables=settings(MINIMAL)),
    Case("h/1 größe", "installed", 0, None, "pair", variables=settings(MINIMAL)),
    Case("failed-in-setup-log", "failed", 0, FAILED, "pair",
         launcher={"fake-setup-log": "[ResponseResult]\r\nResultCode=1603\r\n"},
         variables=settings(MINIMAL)),
    Case("failed-launcher-code", "failed", 7, "setup.exe ended with its own code 7", "pair",
         launcher={"fake-exit": "7"}),
    Case("failed-code-and-setup-log", "failed", 200,
         "setup.exe ended with its own code 200\n" + FAILED, "pair",
         launcher={"fake-exit": "200", "fake-setup-log": "ResultCode=1\r\n"}),
    Case("failed-launcher-killed", "failed", 137, "setup.exe ended with its own code 137",
         "pair", launcher={"fake-action": "kill"}),
    Case("failed-no-setup-log", "failed", 9, "QEDN40097-E An internal error occurred.",
         "installation", launcher={"fake-setup-log": None}),
    Case("failed-no-setup-exe", "failed", 9, "QEDN40124-W The setup.exe file does not exist.",
         variables=settings(MINIMAL), setup_exe=False),
    Case("failed-no-installvorx", "failed", None,
         re.compile(r"installvorx could not be started: \[Errno 2\]"
                    r" No such file or directory: '/.*/failed-no-installvorx/kit/tools/"
                    r"installvorx'$"),
         command=False, untouched=True),
    Case("failed-wrong-variable", "failed", None,
         re.compile(r"wrong variables: vorx_settings\.VORX_INSTALLDIR\. Supported parameters"),
         variables=settings({"vorxversion": VERSION, "VORX_INSTALLDIR": "C:\\x"}),
         untouched=True),
    Case("failed-undefined-variable", "failed", None,
         re.compile(r"wrong variables: .*'site_kit_folder' is undefined|.*: .*'site_kit_folder'"
                    r" is undefined"),
         variables={"vorx_kit_dir": "{{ site_kit_folder }}"}, untouched=True),
    Case("failed-undefined-password", "failed", None,
         re.compile(r".*: .*'vault_deploy_password' is undefined"),
         variables={"ansible_password": "{{ vault_deploy_password }}"}, unreachable=True,
         untouched=True),
    Case("failed-no-kit-named", "failed", None,
         "wrong variables: missing required arguments: vorx_kit_dir",
         variables={"vorx_kit_dir": None}, untouched=True),
    Case("unreachable", "unreachable", None,
         re.compile(r"Failed to connect to the host via ssh: .*Connection refused"),
         variables=settings(MINIMAL), unreachable=True, untouched=True),
    Case("timed-out", "timed_out", None,
         "installvorx was still running after 2 s (vorx_timeout): it and its launcher were"
         " stopped, so the installation may be incomplete", "installation",
         variables={"vorx_timeout": 2}, setup_script=SLEEPING),
    Case("rejected-port", "rejected", None, PORT, unreachable=True, untouched=True,
         variables=settings({"vorxversion": VERSION, "VORX_PORT": "80a"})),
    Case("rejected-version", "rejected", None,
         "QEDN40122-W An installation information settings file of an unsupported product"
         f" version is specified. (vorxversion={VERSION})",
         variables=settings({"vorxversion": "7.0.0-00"}), untouched=True),
    Case("rejected-missing-file", "rejected", None,
         "QEDN40121-W The installation information settings file does not exist."
         " (vorx_settings_file: /nonexistent/site.ini)",
         variables={"vorx_settings_file": "/nonexistent/site.ini"}, untouched=True),
    Case("rejected-relative-missing-file", "rejected", None,
         re.compile(r"QEDN40121-W The installation information settings file does not exist\."
                    r" \(vorx_settings_file: /.*/vorx-fleet-[^/]*/sites/none\.ini\)$"),
         variables={"vorx_settings_file": "sites/none.ini"}, untouched=True),
    Case("installed-relative-file", "installed", 0,
         re.compile(r"installvorx-check warned: line 8: VORX_D"), "pair",
         settings_file=AS_IT_STANDS, relative=True),
    Case("rejected-misspelt-variable", "rejected", None,
         "unknown variable(s) vorx_setings_file: not one of the role's (a misspelling?)",
         variables={"vorx_setings_file": "/nonexistent/site.ini"}, untouched=True),
    Case("rejected-no-settings-choice", "rejected", None,
         "give exactly one of vorx_settings, vorx_settings_file or vorx_launcher_defaults: true"
         " (none given)", choice=False, untouched=True),
    Case("already-installed-recorded", "already_installed", None,
         re.compile(r"installed on 2026-12-01T10:00:00Z \(outcome installed, status 0\);"
                    r" nothing ran$"), recorded=True, untouched=True),
    Case("rejected-line-break", "rejected", None,
         "vorx_settings: VORX_INSTDIR holds a line break, which a settings file cannot carry",
         variables=settings({"vorxversion": VERSION, "VORX_INSTDIR": "C:\\x\nVORX_PORT=1"}),
         untouched=True),
    Case("rejected-both-settings", "rejected", None,
         "give exactly one of vorx_settings, vorx_settings_file or vorx_launcher_defaults: true"
         " (vorx_settings and vorx_settings_file given)",
         variables=settings(MINIMAL), settings_file=AS_IT_STANDS, untouched=True),
    Case("rejected-strict-warning", "rejected", None,
         re.compile(r"the settings file has warnings \(vorx_check_strict\): line 4: "),
         settings_file=MISSPELT, variables={"vorx_check_strict": True}, untouched=True),
    Case("already-installed-when", "already_installed", None,
         "already installed: the vorx_installed_when path exists",
         variables=settings(MINIMAL), installed=True, untouched=True),
    Case("failed-record-a-text", "failed", None,
         re.compile(r"the state record cannot be read \(/.*/failed-record-a-text/state/"
                    r"" + re.escape(RECORD_FILE) + r": not a record of this installation \(a JSON"
                    r" text\)\): vorx_force: true installs again$"),
         state_files={RECORD_FILE: '"installed"'}, untouched=True),
    Case("failed-record-a-fifo", "failed", None,
         re.compile(r"the state record cannot be read \(/.*/" + re.escape(RECORD_FILE) + r":"
                    r" \[Errno 6\] not a regular file\): vorx_force: true installs again$"),
         state_files={RECORD_FILE: FIFO}, untouched=True),
    Case("installed-link-at-temporary-name", "installed", 0, None, "pair",
         state_files={RECORD_FILE + ".new": PLANTED}),
    Case("installed-record-but-installed-when-gone", "installed", 0, None, "pair",
         recorded=True, variables={"vorx_installed_when": "/nonexistent/vorx/removed"}),
    Case("failed-interrupted", "failed", None,
         re.compile(r"an earlier run \(started 2026-12-01T10:00:00Z\) was interrupted before its"
                    r" outcome was recorded \(its marker /.*/failed-interrupted/state/"
                    r"" + re.escape(MARKER_FILE) + r" is still there\): the launcher may have"
                    r" installed VORX; check the host, then vorx_force: true runs again$"),
         state_files={MARKER_FILE: '{"time": "2026-12-01T10:00:00Z"}'}, untouched=True),
    Case("failed-state-unwritable", "failed", 0,
         re.compile(r"installvorx ended as installed \(status 0\)\nthe host's state cannot be"
                    r" recorded \(/.*/failed-state-unwritable/state/"
                    + re.escape(RECORD_FILE) + r": \[Errno 20\] Not a directory: .*\): the run's"
                    r" marker stays, so a later"
                    r" run starts nothing without vorx_force: true$"),
         "pair", setup_script=STATE_BREAKER),
    Case("installed-launcher-sum", "installed", 0, None, "pair", launcher_sum=True),
    Case("failed-launcher-sum", "failed", None,
         re.compile(r"the kit's setup\.exe \(/.*/failed-launcher-sum/kit/setup\.exe\) has"
                    r" SHA-256 [0-9a-f]{64}, not the 0{64} of vorx_launcher_sha256: nothing ran"
                    r" on the host$"), launcher_sum=False, untouched=True),
    Case("installed-success-code", "installed", 7, None, "pair", launcher={"fake-exit": "7"},
         variables={"vorx_success_codes": [7]}),
]
SSH_CASE = Case("ssh-installed", "installed", 0, None, "pair", variables=settings(FULL))


class Fleet:
    """The hosts of one play, laid out under one temporary folder."""

    def __init__(self, build, folder):
        self.build, self.folder = build, folder
        self.hosts, self.kits = {}, {}
        self.results = os.path.join(folder, "results")
        self.temporary = os.path.join(folder, "tmp")  # TMPDIR of the play and its local hosts
        self.closed_port = fleet.free_port()  # nothing listens there: unreachable

    def add(self, case, connection):
        kit = fleet.Kit(os.path.join(self.folder, "hosts"), file_name(case.name))
        kit.logs = os.path.join(kit.folder, case.log_dir)
        kit.lay_out(self.build, case.launcher, case.setup_exe and not case.setup_script,
                    case.command)
        if case.setup_script:
            fleet.write(os.path.join(kit.kit, "setup.exe"), case.setup_script, 0o755)
        if case.recorded:
            fleet.write(os.path.join(kit.state, RECORD_FILE), json.dumps(RECORD))
        for name, text in case.state_files.items():
            path = os.path.join(kit.state, name)
            if text is FIFO:
                os.mkfifo(path)
            elif text is PLANTED:
                fleet.write(os.path.join(kit.folder, PLANTED), PLANTED)
                os.symlink(os.path.join(kit.folder, PLANTED), path)
            else:
                fleet.write(path, text)
        variables = dict(connection, vorx_kit_dir=kit.kit, vorx_log_dir=kit.logs,
                         vorx_state_dir=kit.state)
        if case.launcher_sum is not None:
            with open(self.build.fake_setup, "rb") as launcher:
                digest = hashlib.sha256(launcher.read()).hexdigest().upper()
            variables["vorx_launcher_sha256"] = digest if case.launcher_sum else "0" * 64
        if case.unreachable:
            variables.update(ansible_connection="ssh", ansible_host="127.0.0.1",
                             ansible_port=self.closed_port)
        if case.settings_file is not None:
            path = os.path.join(kit.folder, "site.ini")
            fleet.write(path, case.settings_file)
            variables["vorx_settings_file"] = path
            if case.relative:
                fleet.write(os.path.join(self.folder, "sites", case.name + ".ini"),
                            case.settings_file)
                variables["vorx_settings_file"] = f"sites/{case.name}.ini"
        named = set(variables) | set(case.variables)
        if case.choice and not named & {"vorx_settings", "vorx_settings_file"}:
            variables["vorx_launcher_defaults"] = True
        if case.installed:
            variables["vorx_installed_when"] = os.path.join(kit.folder, "installed")
            fleet.write(variables["vorx_installed_when"], "")
        if case.old_logs:
            for stem in ("installvorx", "setup"):
                fleet.write(os.path.join(kit.logs, f"{stem}{OLD_SUFFIX}.log"), "an older run\r\n")
        variables.update(case.variables)
        self.hosts[case.name] = {k: v for k, v in variables.items() if v is not None}
        self.kits[case.name] = (case, kit, kit.log_files())

    def play(self, options=(), playbook=fleet.PLAYBOOK):
        inventory = os.path.join(self.folder, "inventory.yml")
        fleet.write_inventory(inventory, self.hosts)
        os.makedirs(self.temporary, exist_ok=True)
        self.temporary_before = os.stat(self.temporary).st_mtime_ns
        return fleet.run_play(inventory, self.results, self.build.check, self.folder,
                              options=options, playbook=playbook)

    def summary(self, name="summary.json"):
        return read_results(os.path.join(self.results, name))


class FleetTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.build = usable_build()
        cls.folder = fleet.new_folder("vorx-fleet-")
        cls.sshd = fleet.Sshd(os.path.join(cls.folder, "sshd"))
        try:
            cls.sshd.start()
            cls.fleet = Fleet(cls.build, cls.folder)
            for case in CASES:
                cls.fleet.add(case, fleet.local_host_vars())
            cls.fleet.add(SSH_CASE, cls.sshd.host_vars())
            cls.play_run = cls.fleet.play()
        except BaseException:
            cls.tearDownClass()
            raise
        finally:
            cls.sshd.stop()

    @classmethod
    def tearDownClass(cls):
        cls.sshd.stop()
        if not os.environ.get("IVX_KEEP"):
            shutil.rmtree(cls.folder, ignore_errors=True)

    def output(self):
        return (f"\n--- the play's output:\n{self.play_run.stdout}"
                f"\n--- sshd:\n{self.sshd.describe()}")

    def test_the_play_fails_for_failed_and_rejected_hosts(self):
        self.assertEqual(self.play_run.returncode, 2, self.output())

    def test_every_host_has_its_outcome_status_and_message(self):
        summary = self.fleet.summary()
        self.assertEqual(sorted(summary), sorted(self.fleet.hosts), self.output())
        for name, (case, _, _) in self.fleet.kits.items():
            with self.subTest(name):
                entry = summary[name]
                self.assertEqual(sorted(entry), ["message", "outcome", "run", "status"])
                self.assertEqual((entry["outcome"], entry["status"]), (case.outcome, case.status),
                                 f"{entry}{self.output()}")
                if isinstance(case.message, re.Pattern):
                    self.assertTrue(case.message.match(entry["message"] or ""), entry["message"])
                else:
                    self.assertEqual(entry["message"], case.message)

    def run_logs(self, kit, before):
        return [name for name in kit.log_files() if name not in before]

    def test_the_logs_of_the_run_are_fetched_under_their_own_names(self):
        for name, (case, kit, before) in self.fleet.kits.items():
            with self.subTest(name):
                written = self.run_logs(kit, before)
                expected = {"pair": 2, "installation": 1, None: 0}[case.logs]
                self.assertEqual(len(written), expected, written)
                if written:
                    suffix = written[0].split("_", 1)[1]
                    wanted = [f"installvorx_{suffix}", f"setup_{suffix}"][:expected]
                    self.assertEqual(sorted(written), sorted(wanted))
                folder = os.path.join(self.fleet.results, file_name(name))
                fetched = sorted(os.listdir(folder)) if os.path.isdir(folder) else []
                self.assertEqual([f for f in fetched if f != "settings.ini"], sorted(written))
                for log in written:
                    self.assertEqual(fleet.read_bytes(os.path.join(folder, log)),
                                     fleet.read_bytes(os.path.join(kit.logs, log)))

    def test_a_launcher_still_running_at_the_timeout_is_stopped(self):
        _, kit, _ = self.fleet.kits["timed-out"]
        with open(os.path.join(kit.kit, "fake-pid"), encoding="ascii") as pid:
            self.assertFalse(running(pid.read().strip()), "the launcher still runs")

    def test_a_finished_installation_is_recorded_on_its_host(self):
        for name, (case, kit, _) in self.fleet.kits.items():
            with self.subTest(name):
                path = os.path.join(kit.state, RECORD_FILE)
                self.assertEqual(os.path.lexists(os.path.join(kit.state, MARKER_FILE)),
                                 MARKER_FILE in case.state_files)
                if PLANTED in case.state_files.values():
                    self.assertEqual(fleet.read_bytes(os.path.join(kit.folder, PLANTED)),
                                     PLANTED.encode())
                if case.outcome != "installed":
                    self.assertEqual(os.path.exists(path),
                                     case.recorded or RECORD_FILE in case.state_files)
                    continue
                with open(path, encoding="utf-8") as data:
                    state = json.load(data)
                self.assertEqual((state["version"], state["outcome"], state["status"]),
                                 (VERSION, "installed", case.status))
                self.assertRegex(state["time"], r"^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ$")
                self.assertEqual(state["settings_sha256"] is None,
                                 "vorx_launcher_defaults" in self.fleet.hosts[name])

    def test_a_run_leaves_its_marker_before_the_launch(self):
        _, kit, _ = self.fleet.kits["failed-state-unwritable"]
        with open(os.path.join(kit.kit, "fake-state"), encoding="utf-8") as seen:
            self.assertEqual(seen.read().split(), [MARKER_FILE])

    def test_older_logs_stay_where_they_are(self):
        _, kit, before = self.fleet.kits["installed-older-logs"]
        self.assertEqual(before, [f"installvorx{OLD_SUFFIX}.log", f"setup{OLD_SUFFIX}.log"])
        self.assertTrue(set(before) <= set(kit.log_files()))

    def test_nothing_runs_on_a_host_that_is_rejected_skipped_or_failed_early(self):
        for name, (case, kit, before) in self.fleet.kits.items():
            if case.untouched:
                with self.subTest(name):
                    self.assertIsNone(kit.launcher_args())
                    self.assertEqual(kit.log_files(), before)

    def check(self, path):
        answer = subprocess.run([self.build.check, "--json", path], stdout=subprocess.PIPE,
                                check=False, text=True)
        return json.loads(answer.stdout)[0]

    def test_the_launcher_receives_the_settings_as_checked(self):
        for name, (case, kit, _) in self.fleet.kits.items():
            if case.outcome != "installed":
                continue
            with self.subTest(name):
                args = kit.launcher_args()
                self.assertIsNotNone(args, "the launcher did not run")
                source = case.variables.get("vorx_settings_file")
                if case.relative:
                    source = os.path.join(self.fleet.folder, "sites", case.name + ".ini")
                elif case.settings_file is not None:
                    source = os.path.join(kit.folder, "site.ini")
                elif "vorx_settings" in case.variables:
                    source = os.path.join(self.fleet.results, file_name(name), "settings.ini")
                if source is None:
                    self.assertEqual(len(args), 6, args)  # no property string
                    self.assertFalse(any(arg.startswith("/v") for arg in args), args)
                else:
                    self.assertEqual(args[-1], self.check(source)["launcher_argument"])

    def test_the_settings_file_leaves_no_copy_on_the_hosts(self):
        temporary = self.fleet.temporary
        self.assertNotEqual(os.stat(temporary).st_mtime_ns, self.fleet.temporary_before,
                            "no temporary settings file was made where the test looks")
        self.assertEqual(os.listdir(temporary), [])

    def test_the_play_ends_with_a_table_of_every_host(self):
        table = self.play_run.stdout[self.play_run.stdout.rindex('"HOST '):]
        for name in self.fleet.hosts:
            self.assertRegex(table, rf'"{re.escape(name)} +[a-z_]+ +(-|\d+)')
        installed = sum(case.outcome == "installed" for case, _, _ in self.fleet.kits.values())
        self.assertIn(f'"{len(self.fleet.hosts)} hosts: {installed} installed, ', table)


class SmallFleetTest(unittest.TestCase):
    """Plays of two hosts: the play's own status, and check mode."""

    def play(self, cases, options=()):
        folder = fleet.new_folder("vorx-fleet-")
        self.addCleanup(shutil.rmtree, folder, ignore_errors=True)
        hosts = Fleet(usable_build(), folder)
        for case in cases:
            hosts.add(case, fleet.local_host_vars())
        run = hosts.play(options)
        name = "check.json" if "--check" in options else "summary.json"
        return run, {name: (entry["outcome"], entry["message"])
                     for name, entry in hosts.summary(name).items()}, hosts

    def test_a_play_without_failures_succeeds(self):
        run, outcomes, _ = self.play([Case("installed", "installed", 0, None, "pair"),
                                      Case("skipped", "already_installed", None, None,
                                           installed=True)])
        self.assertEqual(run.returncode, 0, run.stdout)
        self.assertEqual({name: outcome for name, (outcome, _) in outcomes.items()},
                         {"installed": "installed", "skipped": "already_installed"})

    def test_check_mode_checks_the_settings_and_runs_nothing(self):
        run, outcomes, hosts = self.play([
            Case("accepted", "would_install", None, None, variables=settings(MINIMAL)),
            Case("refused", "rejected", None, None,
                 variables=settings({"vorxversion": VERSION, "VORX_PORT": "80a"}))],
            options=["--check"])
        self.assertEqual(run.returncode, 2, run.stdout)
        self.assertEqual(outcomes, {
            "accepted": ("would_install", "check mode: the settings are accepted and the kit is"
                                          " in place; nothing ran on the host"),
            "refused": ("rejected", PORT)})
        for _, kit, before in hosts.kits.values():
            self.assertIsNone(kit.launcher_args())
            self.assertEqual(kit.log_files(), before)

    def test_plays_at_once_into_one_results_folder_keep_every_host(self):
        # The collection's play and a play of the role alone, in batches of one host so
        # that their summary merges meet; the role alone fails its failed host too.
        first = Fleet(usable_build(), fleet.new_folder("vorx-fleet-"))
        second = Fleet(first.build, fleet.new_folder("vorx-fleet-"))
        for hosts in (first, second):
            self.addCleanup(shutil.rmtree, hosts.folder, ignore_errors=True)
        second.results = first.results
        for name in "ab":
            first.add(Case("play-" + name, "installed", 0, None), fleet.local_host_vars())
            second.add(Case("role-" + name, "installed", 0, None), fleet.local_host_vars())
        second.add(Case("role-failed", "failed", 7, None, launcher={"fake-exit": "7"}),
                   fleet.local_host_vars())
        role_play = os.path.join(second.folder, "role.yml")
        fleet.write(role_play, "- hosts: all\n  gather_facts: false\n  serial: 1\n"
                               "  roles: [vorx.rollout.vorx_install]\n")
        with concurrent.futures.ThreadPoolExecutor(2) as pool:
            runs = [pool.submit(first.play, ["-e", "vorx_serial=1"]),
                    pool.submit(second.play, (), role_play)]
        self.assertEqual([run.result().returncode for run in runs], [0, 2], runs[1].result().stdout)
        summary = first.summary()
        self.assertEqual(sorted(summary), sorted(list(first.hosts) + list(second.hosts)))
        self.assertEqual(summary["role-failed"]["outcome"], "failed")
        self.assertIn("failed: setup.exe ended with its own code 7", runs[1].result().stdout)
        self.assertEqual(len(os.listdir(os.path.join(first.results, "runs"))), 5)
        left = [name for name in os.listdir(first.results) if name.startswith(".")]
        self.assertEqual(left, [".vorx-results.lock"])

    def test_files_that_cannot_be_written_leave_every_outcome_in_the_output(self):
        folder = fleet.new_folder("vorx-fleet-")
        self.addCleanup(shutil.rmtree, folder, ignore_errors=True)
        hosts = Fleet(usable_build(), folder)
        fleet.write(hosts.results, "a file where the results folder should be\n")
        hosts.add(Case("rendered", "failed", None, None, variables=settings(MINIMAL)),
                  fleet.local_host_vars())
        hosts.add(Case("defaults", "installed", 0, None), fleet.local_host_vars())
        run = hosts.play()
        self.assertEqual(run.returncode, 2, run.stdout)
        self.assertEqual(recap(run), {"rendered": (0, 1), "defaults": (1, 1)}, run.stdout)
        self.assertRegex(run.stdout, r'"msg": "failed: Write the rendered settings files, read'
                         r' them and check them with installvorx-check: .*Not a directory')
        self.assertRegex(run.stdout, r'"rendered +failed +- +Write the rendered settings')
        self.assertRegex(run.stdout, r'"defaults +installed +0')
        self.assertRegex(run.stdout, r'"msg": "installed: ; Write the logs, the run and the'
                         r' summary on the controller: .*/results/summary\.json: ')
        self.assertIsNone(hosts.kits["rendered"][1].launcher_args())


def recap(run):
    """{host: (changed, failed)} of the play's recap."""
    return {host: (int(changed), int(failed)) for host, changed, failed in re.findall(
        r"^(\S+) +: ok=\d+ +changed=(\d+) +unreachable=\d+ +failed=(\d+)", run.stdout, re.M)}


class RerunTest(unittest.TestCase):
    """One fleet run again and again as an administrator would: the same play twice, changed
    settings without and with vorx_force, a --limit rerun, and check mode over installed,
    new, unreachable and broken hosts."""

    @classmethod
    def setUpClass(cls):
        cls.folder = fleet.new_folder("vorx-rerun-")
        cls.fleet = Fleet(usable_build(), cls.folder)
        for case in [Case("a", "installed", 0, None, variables=settings(MINIMAL)),
                     Case("b", "installed", 0, None), Case("c", "installed", 0, None)]:
            cls.fleet.add(case, fleet.local_host_vars())
        cls.first = cls.fleet.play()
        cls.first_summary = cls.fleet.summary()
        cls.clear_launchers()
        cls.second = cls.fleet.play()
        cls.second_summary = cls.fleet.summary()
        cls.second_ran = cls.launched()
        cls.fleet.hosts["a"]["vorx_settings"] = FULL
        cls.fleet.hosts["b"]["vorx_force"] = True
        # In batches of two: one file in runs/ per batch.
        cls.changed = cls.fleet.play(["-e", "vorx_serial=2"])
        cls.changed_summary = cls.fleet.summary()
        cls.changed_ran = cls.launched()
        cls.limited = cls.fleet.play(["--limit", "c"])
        cls.limited_summary = cls.fleet.summary()
        cls.checked_before = {name: (kit.log_files(), sorted(os.listdir(kit.state)))
                              for name, (_, kit, _) in cls.fleet.kits.items()}
        for case in [Case("new", "would_install", None, None),
                     Case("lost", "unreachable", None, None, unreachable=True),
                     Case("broken", "failed", None, None, setup_exe=False)]:
            cls.fleet.add(case, fleet.local_host_vars())
        with open(os.path.join(cls.fleet.results, "summary.json"), "rb") as data:
            cls.summary_bytes = data.read()
        cls.checked = cls.fleet.play(["--check"])

    @classmethod
    def tearDownClass(cls):
        if not os.environ.get("IVX_KEEP"):
            shutil.rmtree(cls.folder, ignore_errors=True)

    @classmethod
    def clear_launchers(cls):
        for _, kit, _ in cls.fleet.kits.values():
            if os.path.exists(os.path.join(kit.kit, "fake-args")):
                os.unlink(os.path.join(kit.kit, "fake-args"))

    @classmethod
    def launched(cls):
        ran = sorted(name for name, (_, kit, _) in cls.fleet.kits.items() if kit.launcher_args())
        cls.clear_launchers()
        return ran

    def outcomes(self, summary):
        return {name: entry["outcome"] for name, entry in summary.items()}

    def test_the_first_run_installs_every_host(self):
        self.assertEqual(self.first.returncode, 0, self.first.stdout)
        self.assertEqual(self.outcomes(self.first_summary), dict.fromkeys("abc", "installed"))

    def test_a_second_run_starts_no_launcher_and_changes_nothing(self):
        self.assertEqual(self.second.returncode, 0, self.second.stdout)
        self.assertEqual(self.second_ran, [])
        self.assertEqual(recap(self.second), dict.fromkeys("abc", (0, 0)), self.second.stdout)
        for name, entry in self.second_summary.items():
            with self.subTest(name):
                self.assertEqual(entry["outcome"], "already_installed")
                self.assertRegex(entry["message"], r"^installed on \d{4}-\d\d-\d\dT")

    def test_changed_settings_run_again_only_with_vorx_force(self):
        self.assertEqual(self.changed.stdout.count("PLAY [Install VORX"), 2, "not in batches")
        self.assertEqual(self.changed_ran, ["b"])
        self.assertEqual(self.outcomes(self.changed_summary),
                         {"a": "already_installed", "b": "installed", "c": "already_installed"})
        self.assertRegex(self.changed_summary["a"]["message"],
                         r"; the settings differ from that run's \(SHA-256 [0-9a-f]{64}, now"
                         r" [0-9a-f]{64}\): vorx_force: true installs again$")

    def test_a_limited_rerun_keeps_the_other_hosts_outcomes(self):
        self.assertEqual(self.limited_summary["c"]["outcome"], "already_installed")
        self.assertNotEqual(self.limited_summary["c"]["run"], self.changed_summary["c"]["run"])
        for name in "ab":
            self.assertEqual(self.limited_summary[name], self.changed_summary[name])
        runs = sorted(os.listdir(os.path.join(self.fleet.results, "runs")))
        self.assertEqual(len(runs), 5, runs)
        for run in runs:
            latest = read_results(os.path.join(self.fleet.results, "runs", run))
        self.assertEqual(sorted(latest), ["c"])

    def test_check_mode_looks_at_every_host_and_writes_check_json_only(self):
        self.assertEqual(self.checked.returncode, 2, self.checked.stdout)
        self.assertEqual(self.outcomes(self.fleet.summary("check.json")), {
            "a": "already_installed", "b": "already_installed", "c": "already_installed",
            "new": "would_install", "lost": "unreachable", "broken": "failed"})
        with open(os.path.join(self.fleet.results, "summary.json"), "rb") as data:
            self.assertEqual(data.read(), self.summary_bytes)
        self.assertEqual(len(os.listdir(os.path.join(self.fleet.results, "runs"))), 5)
        self.assertTrue(all(changed == 0 for changed, _ in recap(self.checked).values()),
                        self.checked.stdout)
        for name, (_, kit, before) in self.fleet.kits.items():
            with self.subTest(name):
                self.assertIsNone(kit.launcher_args())
                files = (kit.log_files(), sorted(os.listdir(kit.state)))
                self.assertEqual(files, self.checked_before.get(name, (before, [])))


if __name__ == "__main__":
    unittest.main()
