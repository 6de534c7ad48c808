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
    description: Run whatever the state record says.
    type: bool
    default: false
"""
