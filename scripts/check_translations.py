#!/usr/bin/env python3
"""Checks (or with --update, refreshes) the English translation.

Fails, listing what it found, when
  - lupdate finds a text in the sources that translations/ravuone_en.ts does
    not translate (missing, marked unfinished, or with an empty translation),
    or the .ts still holds a text the sources no longer have;
  - a string literal with Japanese characters in the windows' sources (ui/,
    and the files of app/ and net/ that use Qt) is not inside tr(),
    translate(), QT_TR_NOOP, QT_TRANSLATE_NOOP or RAVU_TEXT, and is not on
    the allow-list (texts that travel or are stored, file names, pictures).

--update runs lupdate over the sources into the .ts: new texts come in
unfinished (to be translated by hand), texts gone from the sources go.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

SOURCE_DIRS = ["ui", "app", "net", "game"]
LUPDATE_OPTIONS = [
    "-silent", "-locations", "none", "-source-language", "ja", "-target-language", "en",
    "-tr-function-alias", "QT_TRANSLATE_NOOP+=RAVU_TEXT",
]
JAPANESE = re.compile("[\u3000-\u30ff\u3400-\u4dbf\u4e00-\u9fff\uf900-\ufaff\uff00-\uffef]")
# What may stand right before a translated literal: the call and, for
# translate() and QT_TRANSLATE_NOOP, the context argument.
TRANSLATED_BEFORE = re.compile(
    r'(?:\btr|\btranslate|\bQT_TR_NOOP|\bQT_TRANSLATE_NOOP|\bRAVU_TEXT)\s*\(\s*(?:"[^"]*"\s*,\s*)?$')


def source_files(root):
    files = []
    for d in SOURCE_DIRS:
        for name in sorted(os.listdir(os.path.join(root, d))):
            if name.endswith((".cpp", ".h")):
                files.append(os.path.join(d, name))
    return files


def run_lupdate(lupdate, root, ts, extra):
    cmd = [lupdate] + LUPDATE_OPTIONS + ["-I", root] + extra + source_files(root) + ["-ts", ts]
    subprocess.run(cmd, cwd=root, check=True, stdout=subprocess.DEVNULL)


def ts_problems(ts):
    problems = []
    for context in ET.parse(ts).getroot().iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            source = message.findtext("source") or ""
            translation = message.find("translation")
            kind = translation.get("type") if translation is not None else "unfinished"
            text = "".join(translation.itertext()) if translation is not None else ""
            if kind in ("vanished", "obsolete"):
                problems.append(f"{name}: no longer in the sources: {source!r}")
            elif kind == "unfinished" or not text.strip():
                problems.append(f"{name}: no English for {source!r}")
    return problems


def literals(text):
    """(line, start, end, body) of every string literal, comments skipped."""
    out = []
    i, line, n = 0, 1, len(text)
    while i < n:
        c = text[i]
        if c == "\n":
            line += 1
            i += 1
        elif text.startswith("//", i):
            i = text.find("\n", i)
            i = n if i < 0 else i
        elif text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
            line += text.count("\n", i, end)
            i = end
        elif c == "'":
            j = i + 1
            while j < n and text[j] != "'":
                j += 2 if text[j] == "\\" else 1
            i = j + 1
        elif c == '"':
            j = i + 1
            while j < n and text[j] != '"':
                j += 2 if text[j] == "\\" else 1
            out.append((line, i, j + 1, text[i + 1:j]))
            i = j + 1
        else:
            i += 1
    return out


def uses_qt(root, path):
    stem = os.path.splitext(path)[0]
    for p in (stem + ".h", stem + ".cpp"):
        full = os.path.join(root, p)
        if os.path.exists(full) and re.search(r"#include <Q", open(full, encoding="utf-8").read()):
            return True
    return False


def read_allow_list(path):
    allowed = []
    for raw in open(path, encoding="utf-8"):
        raw = raw.rstrip("\n")
        if not raw.strip() or raw.lstrip().startswith("#"):
            continue
        file, _, text = raw.partition(" | ")
        allowed.append((file.strip(), text))
    return allowed


def untranslated_literals(root, allow):
    found = []
    for path in source_files(root):
        if path.startswith("game/") or not (path.startswith("ui/") or uses_qt(root, path)):
            continue
        text = open(os.path.join(root, path), encoding="utf-8").read()
        lits = literals(text)
        for k, (line, start, end, body) in enumerate(lits):
            if not JAPANESE.search(body):
                continue
            if any(f == path and (t == "*" or t == body) for f, t in allow):
                continue
            # Back over the literals this one is glued to ("a" "b").
            first = k
            while first > 0 and not text[lits[first - 1][2]:lits[first][1]].strip():
                first -= 1
            if TRANSLATED_BEFORE.search(text[:lits[first][1]]):
                continue
            found.append(f"{path}:{line}: untranslated text \"{body}\"")
    return found


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--lupdate", required=True)
    parser.add_argument("--ts", required=True)
    parser.add_argument("--source-root", required=True)
    parser.add_argument("--allow", required=True)
    parser.add_argument("--update", action="store_true")
    args = parser.parse_args()
    root = os.path.abspath(args.source_root)

    if args.update:
        run_lupdate(args.lupdate, root, os.path.abspath(args.ts), ["-no-obsolete"])
        left = [p for p in ts_problems(args.ts)]
        print(f"{args.ts}: {len(left)} texts to translate")
        return 0

    problems = []
    with tempfile.TemporaryDirectory() as tmp:
        copy = os.path.join(tmp, "check.ts")
        shutil.copyfile(args.ts, copy)
        run_lupdate(args.lupdate, root, copy, [])
        problems += ts_problems(copy)
    problems += untranslated_literals(root, read_allow_list(args.allow))
    if problems:
        print("Texts without English (translate them in translations/ravuone_en.ts after "
              "`cmake --build <build> --target ravu_lupdate`, or wrap them in tr()):", file=sys.stderr)
        for p in problems:
            print("  " + p, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
