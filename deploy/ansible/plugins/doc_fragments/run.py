# -*- coding: utf-8 -*-
"""The options that vorx_run and win_vorx_run share: the same steps on Linux and Windows."""

from __future__ import absolute_import, division, print_function

__metaclass__ = type


class ModuleDocFragment(object):
    DOCUMENTATION = r"""
options:
  kit_dir:
    description: The kit folder, holding C(setup.exe).
    type: str
    required: true
  settings:
    description: The settings file's bytes, base64; none to run with C(/s) alone.
    type: str
  state_dir:
    description: The folder of the state record.
    type: str
    required: true
  installed_when:
    description: A path whose existence means VORX is installed; nothing runs then.
    type: str
  force:
    description: Run whatever the state record or the marker of an interrupted run says.
    type: bool
    default: false
  success_codes:
    description: Launcher exit codes that count as success besides 0 and 1707.
    type: list
    elements: int
    default: []
  launcher_sha256:
    description: The SHA-256 that the kit's C(setup.exe) must have; nothing runs otherwise.
    type: str
"""
