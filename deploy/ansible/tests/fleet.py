"""A fleet of Linux hosts on this machine for the collection's play: each host has its own kit (the
Linux build's installvorx and the tests' fake launcher as setup.exe) and its own log folder
under one temporary folder, and is reached over the local connection, or over SSH through a
private sshd on 127.0.0.1. Shared by the tests and the benchmark."""

import atexit
import functools
import glob
import json
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

REPOSITORY = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..", ".."))
COLLECTION = os.path.join(REPOSITORY, "deploy", "ansible")
PLAYBOOK = "vorx.rollout.install"  # the collection's play, by its fully qualified name
SUCCESS_LOG = "[ResponseResult]\r\nResultCode=0\r\n"


class Build:
    """The Linux build's installvorx, the fake launcher and installvorx-check.

    IVX_BUILD_DIR names the build folder (default build/linux); IVX_CHECK_COMMAND the check
    command (default installvorx-check in that folder)."""

    def __init__(self):
        folder = os.environ.get("IVX_BUILD_DIR", os.path.join(REPOSITORY, "build", "linux"))
        self.installvorx = os.path.join(folder, "installvorx")
        self.fake_setup = os.path.join(folder, "tests", "fake_setup")
        self.check = os.environ.get("IVX_CHECK_COMMAND", os.path.join(folder, "installvorx-check"))

    def missing(self):
        """What is not there, as a message naming how to provide it; None when all is."""
        wanted = {
            self.installvorx: "build the linux preset",
            self.fake_setup: "build the linux preset with its tests",
            self.check: "build the installvorx-check target, or set IVX_CHECK_COMMAND",
        }
        lacking = [f"{path} ({how})" for path, how in wanted.items()
                   if not os.access(path, os.X_OK)]
        return "missing: " + "; ".join(lacking) if lacking else None


def _place(source, target):
    # A hard link keeps a hundred kits cheap; installvorx finds its kit through the path it
    # was started by, which a link keeps.
    try:
        os.link(source, target)
    except OSError:
        shutil.copy2(source, target)


def write(path, text, mode=None):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8", newline="") as out:
        out.write(text)
    if mode is not None:
        os.chmod(path, mode)


def read_bytes(path):
    with open(path, "rb") as data:
        return data.read()


class Kit:
    """One host's kit and log folder: <root>/<name>/kit and <root>/<name>/logs."""

    def __init__(self, root, name):
        self.folder = os.path.join(root, name)
        self.kit = os.path.join(self.folder, "kit")
        self.logs = os.path.join(self.folder, "logs")
        self.state = os.path.join(self.folder, "state")  # the host's vorx_state_dir

    def lay_out(self, build, launcher=None, setup_exe=True, command=True):
        """The kit, with the fake launcher told what to do: launcher maps the names of the
        files beside it (fake-exit, fake-setup-log, fake-append, fake-action) to their text;
        by default it exits with 0 and writes a setup log that reports success."""
        os.makedirs(os.path.join(self.kit, "tools"))
        os.makedirs(self.logs)
        os.makedirs(self.state)
        write(os.path.join(self.kit, "setup.iss"), "; the fake launcher reads nothing from it\r\n")
        if command:
            _place(build.installvorx, os.path.join(self.kit, "tools", "installvorx"))
        if setup_exe:
            _place(build.fake_setup, os.path.join(self.kit, "setup.exe"))
        told = {"fake-setup-log": SUCCESS_LOG}
        told.update(launcher or {})
        for name, text in told.items():
            if text is not None:
                write(os.path.join(self.kit, name), text)

    def launcher_args(self):
        """The arguments the fake launcher received, program first; None when it did not run."""
        path = os.path.join(self.kit, "fake-args")
        if not os.path.exists(path):
            return None
        return [arg.decode() for arg in read_bytes(path).split(b"\0")[:-1]]

    def log_files(self):
        return sorted(os.listdir(self.logs))


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class Sshd:
    """A private sshd on 127.0.0.1 on a free port, with a host key and an authorised key of
    its own, for the root user; started by start(), stopped by stop()."""

    def __init__(self, folder):
        self.folder = folder
        self.port = None
        self.process = None
        self.key = os.path.join(folder, "client_key")
        self.known_hosts = os.path.join(folder, "known_hosts")
        self.log = os.path.join(folder, "sshd.log")

    def _keygen(self, path):
        subprocess.run(["ssh-keygen", "-q", "-t", "ed25519", "-N", "", "-f", path], check=True)

    def start(self):
        os.makedirs(self.folder, exist_ok=True)
        host_key = os.path.join(self.folder, "host_key")
        self._keygen(host_key)
        self._keygen(self.key)
        shutil.copy(self.key + ".pub", os.path.join(self.folder, "authorized_keys"))
        self.port = free_port()
        with open(host_key + ".pub", encoding="ascii") as public:
            write(self.known_hosts, f"[127.0.0.1]:{self.port} {public.read()}")
        config = os.path.join(self.folder, "sshd_config")
        write(config, "\n".join([
            f"Port {self.port}",
            "ListenAddress 127.0.0.1",
            f"HostKey {host_key}",
            f"AuthorizedKeysFile {self.folder}/authorized_keys",
            f"PidFile {self.folder}/sshd.pid",
            # The keys live in a temporary folder that other users may list.
            "StrictModes no",
            "PermitRootLogin prohibit-password",
            "PasswordAuthentication no",
            "KbdInteractiveAuthentication no",
            "UsePAM no",
            "Subsystem sftp internal-sftp",
            "LogLevel VERBOSE",
        ]) + "\n")
        # The privilege separation folder that a fresh machine may lack.
        os.makedirs("/run/sshd", mode=0o755, exist_ok=True)
        sshd = shutil.which("sshd") or "/usr/sbin/sshd"
        subprocess.run([sshd, "-t", "-f", config], check=True)
        self.process = subprocess.Popen([sshd, "-D", "-e", "-f", config, "-E", self.log])
        self._await_port()

    def _await_port(self):
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline:
            if self.process.poll() is not None:
                raise RuntimeError(f"sshd ended at once:\n{self.describe()}")
            try:
                socket.create_connection(("127.0.0.1", self.port), timeout=1).close()
                return
            except OSError:
                time.sleep(0.1)
        raise RuntimeError(f"sshd does not listen on port {self.port}:\n{self.describe()}")

    def describe(self):
        try:
            with open(self.log, encoding="utf-8", errors="replace") as log:
                return log.read()
        except OSError:
            return "(no sshd log)"

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()

    def host_vars(self):
        """The inventory variables that reach root on this sshd."""
        return {
            "ansible_connection": "ssh",
            "ansible_host": "127.0.0.1",
            "ansible_port": self.port,
            "ansible_user": "root",
            "ansible_ssh_private_key_file": self.key,
            "ansible_ssh_common_args": f"-o UserKnownHostsFile={self.known_hosts}"
                                       " -o StrictHostKeyChecking=yes -o IdentitiesOnly=yes",
            "ansible_python_interpreter": "/usr/bin/python3",
        }


def local_host_vars():
    return {
        "ansible_connection": "local",
        "ansible_python_interpreter": "{{ ansible_playbook_python }}",
    }


def write_inventory(path, hosts):
    """A YAML inventory (JSON is YAML) of {name: variables}, all in group all."""
    write(path, json.dumps({"all": {"hosts": hosts}}, indent=1))


@functools.lru_cache(maxsize=None)
def installed_collection():
    """A collections folder holding this checkout's collection as a fleet administrator gets
    it: built by ansible-galaxy and installed from the archive; made once per process."""
    folder = tempfile.mkdtemp(prefix="vorx-collection-")
    atexit.register(shutil.rmtree, folder, ignore_errors=True)
    env = dict(os.environ, ANSIBLE_COLLECTIONS_PATH=os.path.join(folder, "collections"))
    quiet = {"stdout": subprocess.DEVNULL, "check": True, "env": env}
    subprocess.run(["ansible-galaxy", "collection", "build", COLLECTION, "--output-path",
                    folder], **quiet)
    subprocess.run(["ansible-galaxy", "collection", "install", "--no-deps", "-p",
                    os.path.join(folder, "collections"),
                    *glob.glob(os.path.join(folder, "vorx-rollout-*.tar.gz"))], **quiet)
    return os.path.join(folder, "collections")


def ansible_environment(folder):
    """Ansible's environment for a run whose files stay in folder: no user or system
    configuration, no colours, no SSH connection left running after the play, this
    checkout's collection installed."""
    config = os.path.join(folder, "ansible.cfg")
    write(config, "")
    collections = installed_collection()
    env = dict(os.environ)
    env.update({
        "ANSIBLE_CONFIG": config,
        "ANSIBLE_LOCAL_TEMP": os.path.join(folder, "ansible-local"),
        "ANSIBLE_REMOTE_TEMP": os.path.join(folder, "ansible-remote"),
        "ANSIBLE_NOCOLOR": "1",
        "ANSIBLE_COLLECTIONS_PATH": collections,
        "ANSIBLE_SSH_ARGS": "-o ControlMaster=no",
        "ANSIBLE_PYTHON_INTERPRETER": "auto_silent",
        # The temporary settings files on local hosts go here, where the tests can see them.
        "TMPDIR": os.path.join(folder, "tmp"),
    })
    os.makedirs(env["TMPDIR"], exist_ok=True)
    return env


def run_play(inventory, results, check_command, folder, forks=10, extra=None, options=(),
             playbook=PLAYBOOK):
    """Runs the collection's play (or another) with the folder's environment; returns the
    finished process."""
    command = ["ansible-playbook", "-i", inventory, "--forks", str(forks), *options,
               "-e", json.dumps({"vorx_results_dir": results, "vorx_check_command": check_command,
                                 **(extra or {})}),
               playbook]
    return subprocess.run(command, cwd=folder, env=ansible_environment(folder),
                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, check=False)


def new_folder(prefix):
    return tempfile.mkdtemp(prefix=prefix)


def fail(message):
    print(message, file=sys.stderr)
    sys.exit(1)
