#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks a Qt translation file: every message translated (none unfinished,
empty or left over from a text the program no longer has), and each
translation keeping its source's %1, %2... so that no number or file name
goes missing from a message."""
import re
import sys
import xml.etree.ElementTree as ElementTree

PLACEHOLDER = re.compile(r"%\d")


def problems(path):
    for context in ElementTree.parse(path).getroot().iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            source = message.findtext("source")
            translation = message.find("translation")
            where = f"{path}: {name}: \"{source}\""
            if translation is None or translation.get("type") in ("unfinished", "vanished", "obsolete"):
                yield f"{where}: not translated ({translation.get('type') if translation is not None else 'missing'})"
            elif not (translation.text or "").strip():
                yield f"{where}: empty translation"
            elif sorted(PLACEHOLDER.findall(source)) != sorted(PLACEHOLDER.findall(translation.text)):
                yield f"{where}: placeholders differ in \"{translation.text}\""


def main(paths):
    found = [problem for path in paths for problem in problems(path)]
    for problem in found:
        print(problem, file=sys.stderr)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
