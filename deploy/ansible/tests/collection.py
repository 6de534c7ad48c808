"""Makes this checkout's collection importable as ansible_collections.vorx.rollout, as an
installed collection is, for the unit tests: a folder of the tests' own on sys.path with the
collection linked into it."""

import atexit
import os
import shutil
import sys
import tempfile

TESTS = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(TESTS)

_folder = tempfile.mkdtemp(prefix="vorx-collection-")
atexit.register(shutil.rmtree, _folder, ignore_errors=True)
os.makedirs(os.path.join(_folder, "ansible_collections", "vorx"))
os.symlink(ROOT, os.path.join(_folder, "ansible_collections", "vorx", "rollout"))
sys.path.insert(0, _folder)
