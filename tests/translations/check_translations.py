#!/usr/bin/env python3
"""Fails when a word the user sees is not marked for translation, or when the
English translation misses, leaves unfinished or still holds a text.

  check_translations.py LUPDATE SOURCE_DIR

1. lupdate reads the sources into a copy of translations/zintaro_en.ts: the
   copy must come out as committed (no new texts, none gone).
2. Every text of the committed file has a finished, non-empty translation
   with the same places (%1, %2, ...).
3. Literals handed to Qt's text setters, to message boxes or to the status
   text are marked (translate, QCoreApplication::translate, tr,
   QT_TRANSLATE_NOOP).
"""
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

OPTIONS = ["-locations", "none", "-no-ui-lines", "-source-language", "it", "-target-language", "en"]


def sources(root):
    return sorted(p for p in (root / "src").rglob("*") if p.suffix in (".cpp", ".h"))


def messages(ts_text):
    found = {}
    for context in ET.fromstring(ts_text).iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            source = "".join(message.find("source").itertext())
            found[(name, source)] = message.find("translation")
    return found


def places(text):
    return sorted(set(re.findall(r"%[1-9]", text)))


def check_up_to_date(lupdate, root, committed, problems):
    with tempfile.TemporaryDirectory() as folder:
        copy = pathlib.Path(folder) / "zintaro_en.ts"
        shutil.copyfile(committed, copy)
        files = [str(p) for p in sources(root)]
        subprocess.run([lupdate, *OPTIONS, *files, "-ts", str(copy)], check=True, capture_output=True)
        fresh = copy.read_text(encoding="utf-8")
    if fresh == committed.read_text(encoding="utf-8"):
        return
    before, after = messages(committed.read_text(encoding="utf-8")), messages(fresh)
    for key, translation in after.items():
        kind = translation.get("type") if translation is not None else None
        if key not in before:
            problems.append(f"not in the translation yet: {key[0]}: {key[1]!r}")
        elif kind in ("vanished", "obsolete") and before[key].get("type") not in ("vanished", "obsolete"):
            problems.append(f"no longer in the sources: {key[0]}: {key[1]!r}")
    if not problems:
        problems.append("translations/zintaro_en.ts differs from what lupdate makes of the sources")


def check_finished(committed, problems):
    for (context, source), translation in messages(committed.read_text(encoding="utf-8")).items():
        where = f"{context}: {source!r}"
        kind = translation.get("type") if translation is not None else "missing"
        text = "".join(translation.itertext()) if translation is not None else ""
        if kind in ("vanished", "obsolete"):
            problems.append(f"a text no longer in the sources is still kept: {where}")
        elif kind == "unfinished" or not text.strip():
            problems.append(f"no finished English translation: {where}")
        elif places(text) != places(source):
            problems.append(f"the English translation has other places than {where}: {text!r}")


# A literal with a word in it: at least two letters in a row.
WORDY = re.compile(r'"(?:[^"\\]|\\.)*[A-Za-zÀ-ÿ]{2}(?:[^"\\]|\\.)*"')
# Calls that show their text argument to the user.
SHOWN = re.compile(
    r"\b(setText|setWindowTitle|setTitle|setToolTip|setStatusTip|setWhatsThis|setPlaceholderText|addAction|addMenu"
    r"|setInformativeText|setDetailedText|message|question|showStatus|information|warning|critical|addRow|addItem"
    r"|addTab|insertItem|setHeaderLabels|setLabelText|setAccessibleName)\s*\(")
MARKED = re.compile(r"\b(translate|tr|QT_TRANSLATE_NOOP|QT_TR_NOOP)\s*\(")
# Words that are the same in every language and need no translation.
NAMES = {'"Liberation Sans"'}


def call_arguments(text, start):
    """The text of a call's arguments, from just after its opening bracket."""
    depth, i = 1, start
    while i < len(text) and depth:
        if text[i] == '"':
            i += 1
            while i < len(text) and text[i] != '"':
                i += 2 if text[i] == "\\" else 1
        elif text[i] in "([{":
            depth += 1
        elif text[i] in ")]}":
            depth -= 1
        i += 1
    return text[start:i - 1]


def strip_comments(text):
    return re.sub(r"//[^\n]*|/\*.*?\*/", lambda m: re.sub(r"[^\n]", " ", m.group(0)), text, flags=re.S)


def check_marked(root, problems):
    for path in sources(root):
        text = strip_comments(path.read_text(encoding="utf-8"))
        relative = path.relative_to(root)
        for call in SHOWN.finditer(text):
            arguments = call_arguments(text, call.end())
            # A marked argument is translated where it is built.
            unmarked = MARKED.sub("", arguments) if not MARKED.search(arguments) else ""
            for literal in WORDY.findall(unmarked):
                if literal not in NAMES:
                    line = text.count("\n", 0, call.start()) + 1
                    problems.append(f"{relative}:{line}: {call.group(1)} shows {literal} unmarked")
        if relative.parts[:2] == ("src", "app"):
            for m in re.finditer(r'QStringLiteral\s*\(\s*("(?:[^"\\]|\\.)*")\s*\)', text):
                literal = m.group(1)
                if " " in literal and WORDY.fullmatch(literal) and literal not in NAMES:
                    line = text.count("\n", 0, m.start()) + 1
                    problems.append(f"{relative}:{line}: words in QStringLiteral without translation: {literal}")


def main():
    lupdate, root = sys.argv[1], pathlib.Path(sys.argv[2])
    committed = root / "translations" / "zintaro_en.ts"
    problems = []
    check_up_to_date(lupdate, root, committed, problems)
    check_finished(committed, problems)
    check_marked(root, problems)
    for problem in problems:
        print(problem)
    if problems:
        print("Mark the words with translate(\"Context\", \"…\") (QCoreApplication::translate in Qt code), then run\n"
              "  cmake --build BUILD --target update_translations\n"
              "and give every new text of translations/zintaro_en.ts its English (Qt Linguist, or by hand).")
        return 1
    print(f"translations complete: {len(messages(committed.read_text(encoding='utf-8')))} texts")
    return 0


if __name__ == "__main__":
    sys.exit(main())
