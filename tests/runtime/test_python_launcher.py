# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 The Quillvane authors
"""The runtime's python.exe: the system interpreter with numpy, started in place of the launcher."""

import sys

sys.dont_write_bytecode = True  # keeps the source tree free of caches

import json
import subprocess
import unittest

import runtimetestlib as lib

PROBE = ("import json, os, sys, numpy; "
         "print(json.dumps([os.getpid(), sys.argv[1:], sys.flags.dont_write_bytecode])); sys.exit(7)")


class PythonLauncherTest(unittest.TestCase):
    def test_replaces_itself_and_passes_arguments_and_status(self):
        # The same process id: a stop that kills the child kills the interpreter, no shell is left.
        args = ["--index_path", " ", "a name with blanks", "'quoted'", "$HOME"]
        proc = subprocess.Popen([lib.app_path("runtime", "python.exe"), "-c", PROBE] + args,
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE, universal_newlines=True)
        out, err = proc.communicate(timeout=60)
        self.assertEqual(proc.returncode, 7, err)
        self.assertEqual(json.loads(out), [proc.pid, args, True])


if __name__ == "__main__":
    unittest.main()
