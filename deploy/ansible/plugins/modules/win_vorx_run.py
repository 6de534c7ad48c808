#!/usr/bin/python
# -*- coding: utf-8 -*-
# The documentation of win_vorx_run.ps1, the module itself.

from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r"""
---
module: win_vorx_run
short_description: Run installvorx.exe once on a Windows host and read back what it left
description:
  - The steps of M(vorx.rollout.vorx_run) on a Windows host, with its options and return
    values, but one, that a second run of this module (I(finish)) does after the
    controller's decision; the run itself never writes the state record.
  - A timed out run ends installvorx.exe and every process it started (C(taskkill /T /F)).
  - Before a run it makes I(state_dir) and leaves the marker of the run there, through a
    temporary file created there with a random name (C(CreateNew), which a planted link
    fails) and moved over the marker's name.
  - With I(finish), it only writes I(record) as the state record (in the same way) and
    removes the marker.
version_added: "1.0.0"
author: installvorx maintainers
extends_documentation_fragment:
  - vorx.rollout.run
options:
  command:
    description: The kit's C(tools\installvorx.exe).
    type: str
    required: true
  log_dir:
    description: The root of the system drive, where installvorx.exe logs.
    type: str
    required: true
  digest:
    description: The SHA-256 digest of the settings file (unused on the host).
    type: str
  timeout:
    description: Seconds after which installvorx.exe and its launcher are stopped, a whole
      number above 0; any other value fails the task before anything starts.
    type: int
  record_name:
    description: The state record's file name in I(state_dir), as the role names it.
    type: str
    required: true
  marker_name:
    description: The file name of the run's marker in I(state_dir), as the role names it.
    type: str
    required: true
  version:
    description: The version of VORX that the marker names.
    type: str
    required: true
  finish:
    description: Write I(record) (when given) and remove the run's marker; nothing else.
    type: bool
    default: false
  record:
    description: With I(finish), the state record that the controller decided on.
    type: dict
attributes:
  check_mode:
    support: full
    description: Looks at the kit, the log folder and the state record; writes nothing.
  diff_mode:
    support: none
  platform:
    platforms: windows
"""

EXAMPLES = r"""
- name: Run installvorx.exe on the host
  vorx.rollout.win_vorx_run:
    command: D:\kits\VORX-6.1.0-00\tools\installvorx.exe
    kit_dir: D:\kits\VORX-6.1.0-00
    log_dir: C:\
    state_dir: C:\ProgramData\VORX-rollout
    record_name: "{{ (none | vorx.rollout.state_names).record }}"
    marker_name: "{{ (none | vorx.rollout.state_names).marker }}"
    version: "{{ (none | vorx.rollout.state_names).version }}"
  register: run
"""

RETURN = r"""
status:
  description: installvorx.exe's exit code, as a signed 32-bit number; null when it did not run.
  returned: always
  type: int
stdout:
  description: What installvorx.exe printed.
  returned: always
  type: str
start_error:
  description: Why installvorx.exe could not be started.
  returned: when it could not
  type: str
timed_out:
  description: Whether installvorx.exe was stopped after I(timeout) seconds.
  returned: always
  type: bool
logs_before:
  description: The log folder's installation and setup logs before the run, path to size.
  returned: always
  type: dict
logs_after:
  description: The same after the run.
  returned: always
  type: dict
texts:
  description:
    - Path to base64 bytes of every log that is new or grew, and their setup logs; a log
      larger than 32 MiB is left out.
  returned: always
  type: dict
record:
  description: As M(vorx.rollout.vorx_run) returns it, and so are the next five.
  returned: always
  type: raw
record_found:
  description: See I(record).
  returned: always
  type: bool
record_path:
  description: See I(record).
  returned: always
  type: str
marker:
  description: See I(record).
  returned: always
  type: dict
state_error:
  description: See I(record); with I(finish), the record or marker it could not write or remove.
  returned: always
  type: str
launcher:
  description: See I(record).
  returned: always
  type: dict
installed_when_exists:
  description: Whether I(installed_when) exists.
  returned: always
  type: bool
check:
  description: In check mode, whether the kit's setup.exe, the command and the log folder exist.
  returned: in check mode
  type: dict
"""
