"""What a rollout with the collection's play costs per host beyond the installation itself:
the whole play against a fleet of Linux hosts on this machine (local connection, each with
its own kit, log folder and state folder, rendered settings, the fake launcher ending at
once with success), timed from the start of ansible-playbook to its end, with the processor
time of everything it started; in the same run, a bare play of one ansible.builtin.command
task running the same installvorx over the same hosts with the same forks and environment,
and the ratio of the two; then the same installations run directly, one after another.

    bench_fleet.py [--hosts 40] [--forks 20]     (as root; see fleet.Build for the build)
"""

import argparse
import json
import os
import platform
import resource
import shutil
import subprocess
import time

import fleet
from ansible_collections.vorx.rollout.plugins.module_utils.vorx_facts import VERSION

SETTINGS = {"vorxversion": VERSION, "VORX_INSTDIR": "C:\\Program Files\\VORX",
            "VORX_DBDIR": "D:\\VORX Data\\database", "VORX_IPADDRESS": "192.0.2.10",
            "VORX_PORT": "20080", "VORX_SNMPTRAP": "TRUE", "VORX_SNMPIPADDRESS": "192.0.2.20",
            "VORX_SNMPTRAPPORT": "162", "VORX_RUNSERVICE": "TRUE"}


def children_cpu():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def lay_out(build, root, count):
    hosts, kits = {}, []
    for number in range(count):
        name = f"host{number:03d}"
        kit = fleet.Kit(os.path.join(root, "hosts"), name)
        kit.lay_out(build)
        kits.append(kit)
        hosts[name] = dict(fleet.local_host_vars(), vorx_kit_dir=kit.kit, vorx_log_dir=kit.logs,
                           vorx_state_dir=kit.state, vorx_settings=SETTINGS)
    inventory = os.path.join(root, "inventory.yml")
    fleet.write_inventory(inventory, hosts)
    return inventory, kits


def timed_play(build, root, inventory, forks):
    cpu, start = children_cpu(), time.monotonic()
    run = fleet.run_play(inventory, os.path.join(root, "results"), build.check, root, forks)
    wall, cpu = time.monotonic() - start, children_cpu() - cpu
    if run.returncode != 0:
        fleet.fail(f"the play failed ({run.returncode}):\n{run.stdout}")
    with open(os.path.join(root, "results", "summary.json"), encoding="utf-8") as data:
        outcomes = {entry["outcome"] for entry in json.load(data).values()}
    if outcomes != {"installed"}:
        fleet.fail(f"not every host was installed: {outcomes}")
    return wall, cpu


BARE_PLAY = """---
- name: One command per host
  hosts: all
  gather_facts: false
  tasks:
    - name: Run installvorx
      ansible.builtin.command:
        argv: ["{{ vorx_kit_dir }}/tools/installvorx", /s, /f, "{{ vorx_bare_settings }}"]
      environment:
        SystemRoot: "{{ vorx_log_dir }}"
      changed_when: true
"""


def timed_bare(build, root, inventory, forks):
    """The bare play: the same installations, each one ansible.builtin.command task."""
    playbook = os.path.join(root, "bare.yml")
    fleet.write(playbook, BARE_PLAY)
    settings = os.path.join(root, "results", "host000", "settings.ini")
    cpu, start = children_cpu(), time.monotonic()
    run = fleet.run_play(inventory, os.path.join(root, "results"), build.check, root, forks,
                         extra={"vorx_bare_settings": settings}, playbook=playbook)
    wall, cpu = time.monotonic() - start, children_cpu() - cpu
    if run.returncode != 0:
        fleet.fail(f"the bare play failed ({run.returncode}):\n{run.stdout}")
    return wall, cpu


def timed_direct(root, kits):
    """The same installations, run directly: what the play adds is the difference."""
    settings = os.path.join(root, "results", os.path.basename(kits[0].folder), "settings.ini")
    cpu, start = children_cpu(), time.monotonic()
    for kit in kits:
        subprocess.run([os.path.join(kit.kit, "tools", "installvorx"), "/s", "/f", settings],
                       env=dict(os.environ, SystemRoot=kit.logs), stdout=subprocess.DEVNULL,
                       check=True)
    return time.monotonic() - start, children_cpu() - cpu


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--hosts", type=int, default=40)
    parser.add_argument("--forks", type=int, default=20)
    options = parser.parse_args()
    build = fleet.Build()
    if build.missing():
        fleet.fail(build.missing())
    root = fleet.new_folder("vorx-bench-")
    try:
        inventory, kits = lay_out(build, root, options.hosts)
        load = os.getloadavg()[0]
        wall, cpu = timed_play(build, root, inventory, options.forks)
        bare_wall, bare_cpu = timed_bare(build, root, inventory, options.forks)
        direct_wall, direct_cpu = timed_direct(root, kits)
        hosts = options.hosts
        print(f"machine: {os.cpu_count()} CPUs, {platform.platform()}, "
              f"load average {load:.1f} before, {os.getloadavg()[0]:.1f} after")
        version = subprocess.run(["ansible-playbook", "--version"], check=True, text=True,
                                 stdout=subprocess.PIPE).stdout.splitlines()[0]
        print(version)
        print(f"{hosts} hosts, {options.forks} forks: the whole play {wall:.1f} s, "
              f"processor time {cpu:.1f} s")
        print(f"per host: {wall / hosts:.2f} s of the play, {cpu / hosts:.2f} s of processor time")
        print(f"the bare play of one ansible.builtin.command task: {bare_wall:.1f} s, processor"
              f" time {bare_cpu:.1f} s")
        print(f"ratio to the bare play: {wall / bare_wall:.2f}x wall, {cpu / bare_cpu:.2f}x"
              " processor time")
        print(f"the same {hosts} installations run directly: {direct_wall:.2f} s, "
              f"processor time {direct_cpu:.2f} s ({1000 * direct_wall / hosts:.1f} ms each)")
    finally:
        shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    main()
