#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 The Quillvane authors
"""Keeps the translation sources (.ts) in step with the code.

    translations.py update ARGS   runs lupdate: new texts appear as unfinished
                                  entries, texts gone from the code are dropped
    translations.py check ARGS    runs lupdate on copies and fails when a text is
                                  untranslated, or when the committed files are
                                  not what `update` would make of them

ARGS name lupdate, the source root, the folder of the .ts files and the source
folders of the two kinds of file: Lang_XX.ts takes the application's texts,
Lang_Custom_XX.ts those of the widget library and the common code. The build
passes them (cmake/QuillvaneTranslations.cmake); use its targets:

    cmake --build build --target update_translations
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

# Language of a .ts file from its code, for lupdate when it creates one.
TARGET_LANGUAGES = {"ZH": "zh_CN"}

TS_NAME = re.compile(r"^Lang_(Custom_)?([A-Z]{2})\.ts$")
PLACEHOLDER = re.compile(r"%(?:n|L?\d+)")


def translation_files(ts_dir):
    """(path, is_library_file, code) of every .ts file, in name order."""
    found = []
    for name in sorted(os.listdir(ts_dir)):
        match = TS_NAME.match(name)
        if match:
            found.append((os.path.join(ts_dir, name), bool(match.group(1)), match.group(2)))
    return found


def run_lupdate(args, ts_path, library, code):
    sources = args.library_sources if library else args.app_sources
    command = [args.lupdate, "-silent", "-no-obsolete", "-locations", "none",
               "-extensions", "cpp,h",
               "-I", args.root,
               "-source-language", "en",
               "-target-language", TARGET_LANGUAGES.get(code, code.lower())]
    command += [os.path.join(args.root, folder) for folder in sources]
    command += ["-ts", ts_path]
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                            universal_newlines=True)
    if result.returncode != 0:
        sys.exit("lupdate failed on %s:\n%s" % (ts_path, result.stdout))
    # lupdate warns, for instance, about tr() in a class without Q_OBJECT:
    # such a text would never be translated at run time.
    return [line for line in result.stdout.splitlines() if line.strip()]


def messages(ts_path):
    """{(context, source, comment): message element} of a .ts file."""
    found = {}
    for context in ET.parse(ts_path).getroot().iter("context"):
        context_name = context.findtext("name", "")
        for message in context.iter("message"):
            key = (context_name, message.findtext("source", ""), message.findtext("comment", ""))
            found[key] = message
    return found


def translation_texts(message):
    translation = message.find("translation")
    if translation is None:
        return []
    forms = translation.findall("numerusform")
    if forms:
        return [form.text or "" for form in forms]
    return [translation.text or ""]


def describe(key):
    context, source, comment = key
    text = "%s: \"%s\"" % (context, source)
    return text + (" (%s)" % comment if comment else "")


def problems_of(ts_path, library, code, args):
    name = os.path.basename(ts_path)
    problems = []
    with tempfile.TemporaryDirectory() as scratch:
        updated = os.path.join(scratch, name)
        shutil.copyfile(ts_path, updated)
        for warning in run_lupdate(args, updated, library, code):
            problems.append("%s: lupdate: %s" % (name, warning))
        committed = messages(ts_path)
        current = messages(updated)

    for key in sorted(set(current) - set(committed)):
        problems.append("%s: new text, not in the file: %s" % (name, describe(key)))
    for key in sorted(set(committed) - set(current)):
        problems.append("%s: text no longer in the code: %s" % (name, describe(key)))
    for key, message in sorted(current.items()):
        if key not in committed:
            continue
        kind = message.find("translation").get("type") if message.find("translation") is not None else None
        texts = translation_texts(message)
        if kind in ("unfinished", "obsolete", "vanished") or not texts or not all(t.strip() for t in texts):
            problems.append("%s: untranslated: %s" % (name, describe(key)))
            continue
        wanted = sorted(set(PLACEHOLDER.findall(key[1])))
        for text in texts:
            if sorted(set(PLACEHOLDER.findall(text))) != wanted:
                problems.append("%s: placeholders %s differ in the translation of %s"
                                % (name, " ".join(wanted) or "(none)", describe(key)))
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("mode", choices=["update", "check"])
    parser.add_argument("--lupdate", required=True)
    parser.add_argument("--root", required=True, help="source root")
    parser.add_argument("--ts-dir", required=True)
    parser.add_argument("--app-sources", nargs="+", required=True)
    parser.add_argument("--library-sources", nargs="+", required=True)
    args = parser.parse_args()

    files = translation_files(args.ts_dir)
    if not files:
        sys.exit("no Lang_XX.ts or Lang_Custom_XX.ts in %s" % args.ts_dir)

    if args.mode == "update":
        for ts_path, library, code in files:
            for warning in run_lupdate(args, ts_path, library, code):
                print("%s: %s" % (os.path.basename(ts_path), warning))
            untranslated = [key for key, message in messages(ts_path).items()
                            if message.find("translation") is None
                            or message.find("translation").get("type") == "unfinished"]
            print("%s: %d texts, %d to translate" % (os.path.basename(ts_path),
                                                    len(messages(ts_path)), len(untranslated)))
        return 0

    problems = []
    for ts_path, library, code in files:
        problems += problems_of(ts_path, library, code, args)
    if problems:
        print("\n".join(problems))
        print("\nBring the files up to date with `cmake --build build --target update_translations`,\n"
              "then translate every entry marked unfinished in %s." % args.ts_dir)
        return 1
    print("%d translation files complete and current" % len(files))
    return 0


if __name__ == "__main__":
    sys.exit(main())
