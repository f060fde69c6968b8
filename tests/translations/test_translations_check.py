# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 The Quillvane authors
"""The translation check fails on exactly what would reach a user untranslated, in a small tree of its own.
    usage: test_translations_check.py LUPDATE
"""
import os
import re
import subprocess
import sys
import tempfile
import unittest

SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "translations.py")
LUPDATE = sys.argv.pop(1) if len(sys.argv) > 1 else "lupdate"

WIDGET = """#include <QObject>
class Widget : public QObject
{
    Q_OBJECT
public:
    QString caption() const { return tr("Add Voices"); }
    QString count(int n) const { return tr("%1 files").arg(n); }
};
"""
LIBRARY = """#include <QObject>
QString saveCaption() { return QObject::tr("Save Logfile"); }
"""
EMPTY_TS = ('<?xml version="1.0" encoding="utf-8"?>\n<!DOCTYPE TS>\n'
            '<TS version="2.1" language="zh_CN" sourcelanguage="en">\n</TS>\n')
CHINESE = {"Add Voices": "添加音频", "%1 files": "%1 个文件", "Save Logfile": "保存日志文件"}


class TranslationCheckTest(unittest.TestCase):
    def setUp(self):
        scratch = tempfile.TemporaryDirectory()
        self.addCleanup(scratch.cleanup)
        self.root = scratch.name
        for folder in ("app", "engine", "tools", "widgets", "common", "platform", "ts"):
            os.mkdir(os.path.join(self.root, folder))
        self.write("app/widget.h", WIDGET)
        self.write("common/utils.cpp", LIBRARY)
        for name in ("Lang_ZH.ts", "Lang_Custom_ZH.ts"):
            self.write("ts/" + name, EMPTY_TS)
        self.run_script("update")
        for name in ("Lang_ZH.ts", "Lang_Custom_ZH.ts"):
            for source, target in CHINESE.items():
                self.edit("ts/" + name, "<source>%s</source>\n        <translation type=\"unfinished\"></translation>"
                          % source, "<source>%s</source>\n        <translation>%s</translation>" % (source, target))

    def write(self, relative, text):
        with open(os.path.join(self.root, relative), "w", encoding="utf-8") as f:
            f.write(text)

    def read(self, relative):
        with open(os.path.join(self.root, relative), encoding="utf-8") as f:
            return f.read()

    def edit(self, relative, old, new):
        self.write(relative, self.read(relative).replace(old, new))

    def run_script(self, mode):
        result = subprocess.run(
            [sys.executable, SCRIPT, mode, "--lupdate", LUPDATE, "--root", self.root,
             "--ts-dir", os.path.join(self.root, "ts"),
             "--app-sources", "app", "engine", "tools", "--library-sources", "widgets", "common", "platform"],
            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, universal_newlines=True)
        return result.returncode, result.stdout

    def assertCheckFails(self, expected):
        code, output = self.run_script("check")
        self.assertEqual(code, 1, output)
        self.assertIn(expected, output)

    def test_complete_files_pass(self):
        code, output = self.run_script("check")
        self.assertEqual(code, 0, output)
        # Each kind of file took its own folders' texts.
        self.assertIn("Add Voices", self.read("ts/Lang_ZH.ts"))
        self.assertNotIn("Save Logfile", self.read("ts/Lang_ZH.ts"))
        self.assertIn("Save Logfile", self.read("ts/Lang_Custom_ZH.ts"))

    def test_new_text_in_the_code_fails(self):
        self.write("tools/panel.h", WIDGET.replace("Widget", "Panel").replace("Add Voices", "Trim Range:"))
        self.assertCheckFails('new text, not in the file: Panel: "Trim Range:"')

    def test_unfinished_entry_fails(self):
        self.edit("ts/Lang_Custom_ZH.ts", "<translation>保存日志文件", '<translation type="unfinished">保存日志文件')
        self.assertCheckFails('untranslated: QObject: "Save Logfile"')

    def test_lost_placeholder_fails(self):
        self.edit("ts/Lang_ZH.ts", "%1 个文件", "几个文件")
        self.assertCheckFails('placeholders %1 differ in the translation of Widget: "%1 files"')

    def test_tr_without_q_object_fails(self):
        self.write("engine/plain.h", re.sub(r"\n    Q_OBJECT", "", WIDGET).replace("Widget", "Plain"))
        self.assertCheckFails("lupdate:")

if __name__ == "__main__":
    unittest.main()
