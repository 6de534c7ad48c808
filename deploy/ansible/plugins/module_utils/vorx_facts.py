# -*- coding: utf-8 -*-
"""What the collection knows of the commands, named here alone: installvorx's version, the
sections of its settings file, the two messages the rollout reads in its output and log, and
the names of the state record and of a run's marker, beside each other in the state folder.
The keys of the settings are those the role declares for vorx_settings. A
test holds all of them to the commands' source."""

from __future__ import absolute_import, division, print_function

__metaclass__ = type

VERSION = "6.1.0-00"
VERSION_SECTION = "VORX"
SETTINGS_SECTION = "INSTALLATION_SETTINGS"
# The start line, and the log's line of a failed installation: their codes decide.
START_TEXT = "QEDN40110-I VORX installation will now start."
FAILED_TEXT = "QEDN40112-W An attempt to install VORX version %s has failed." % VERSION
START = START_TEXT.split()[0]
INSTALLATION_FAILED = FAILED_TEXT.split()[0]
# The state record's file, and the marker a run leaves beside it while it runs.
RECORD_NAME = "installvorx-%s.json" % VERSION
MARKER_NAME = "installvorx-%s.running" % VERSION
