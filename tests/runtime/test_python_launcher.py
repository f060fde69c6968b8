"""The runtime's python.exe: the system interpreter with numpy, started in place of the launcher."""

import sys

sys.dont_write_bytecode = True  # keeps the source tree free of caches

import json
import os
import subprocess
import unittest

import runtimetestlib as lib

PROBE = ("import json, os, sys, numpy; "
         "print(json.dumps([os.getpid(), sys.argv[1:], sys.flags.dont_write_bytecode]))")


class PythonLauncherTest(unittest.TestCase):
    def setUp(self):
        self.launcher = lib.app_path("runtime", "python.exe")

    def test_is_executable(self):
        self.assertTrue(os.access(self.launcher, os.X_OK))

    def test_replaces_itself_and_passes_every_argument(self):
        # The same process id: a stop that kills the child kills the interpreter, no shell is left.
        args = ["--index_path", " ", "a name with blanks", "'quoted'", "$HOME"]
        proc = subprocess.Popen([self.launcher, "-c", PROBE] + args, stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, universal_newlines=True)
        out, err = proc.communicate(timeout=60)
        self.assertEqual(proc.returncode, 0, err)
        pid, argv, no_bytecode = json.loads(out)
        self.assertEqual(pid, proc.pid)
        self.assertEqual(argv, args)
        self.assertTrue(no_bytecode)

    def test_passes_the_exit_status(self):
        result = subprocess.run([self.launcher, "-c", "import sys; sys.exit(7)"], timeout=60)
        self.assertEqual(result.returncode, 7)


if __name__ == "__main__":
    unittest.main()
