#!/usr/bin/env python3
"""Lists the Japanese texts of the program that have no English translation.

  translations.py check    exit 1 and list them when any text lacks one
  translations.py update   add them to translations/texts_en.ts as unfinished
                           entries (and let lupdate refresh varnel_en.ts)

Every string literal in src/ holding a non-ASCII character is a text the
program may show, unless translations/not-shown.txt lists it (settings keys,
macro keywords, font names). A literal is covered when a finished
translation has it as its source, or, for the parts of a text built by
joining, when it is one of the fixed pieces of a finished source with
%1-style placeholders;
a file filter's descriptions are checked one by one.
"""
import os
import re
import subprocess
import sys
import xml.etree.ElementTree as ET

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TEXTS_TS = os.path.join(ROOT, "translations", "texts_en.ts")
FORMS_TS = os.path.join(ROOT, "translations", "varnel_en.ts")
NOT_SHOWN = os.path.join(ROOT, "translations", "not-shown.txt")

TOKEN = re.compile(r'//[^\n]*|/\*.*?\*/|\'(?:\\.|[^\'\\])*\'|"((?:\\.|[^"\\\n])*)"', re.S)
ESCAPES = {"n": "\n", "t": "\t", '"': '"', "\\": "\\", "'": "'", "r": "\r"}


def unescape(s):
    return re.sub(r"\\(.)", lambda m: ESCAPES.get(m.group(1), m.group(1)), s)


def literals(path):
    """The file's string literals, adjacent ones joined as the compiler does."""
    text = open(path, encoding="utf-8").read()
    out = []
    last_end = None
    for m in TOKEN.finditer(text):
        if m.group(1) is None:
            continue  # a comment or a character
        value = unescape(m.group(1))
        line = text.count("\n", 0, m.start()) + 1
        if last_end is not None and text[last_end:m.start()].strip() == "":
            out[-1] = (out[-1][0] + value, out[-1][1])
        else:
            out.append((value, line))
        last_end = m.end()
    return out


def program_texts():
    found = {}
    for base, _, files in os.walk(os.path.join(ROOT, "src")):
        for name in sorted(files):
            if not name.endswith((".cpp", ".h")):
                continue
            path = os.path.join(base, name)
            for value, line in literals(path):
                if any(ord(c) > 127 for c in value):
                    found.setdefault(value, "%s:%d" % (os.path.relpath(path, ROOT), line))
    return found


def translations(path):
    """(source, finished) for every message of a .ts file."""
    if not os.path.exists(path):
        return []
    out = []
    for msg in ET.parse(path).getroot().iter("message"):
        source = msg.findtext("source") or ""
        tr = msg.find("translation")
        finished = tr is not None and (tr.text or "") != "" and tr.get("type") not in ("unfinished", "vanished", "obsolete")
        out.append((source, finished))
    return out


def missing():
    not_shown = set()
    if os.path.exists(NOT_SHOWN):
        for line in open(NOT_SHOWN, encoding="utf-8"):
            line = line.rstrip("\n")
            if line and not line.startswith("#"):
                not_shown.add(unescape(line))
    entries = translations(TEXTS_TS) + translations(FORMS_TS)
    exact = {s for s, f in entries if f}
    # The fixed pieces between the placeholders of the finished patterns.
    pieces = {p.strip() for s, f in entries if f and re.search(r"%[1-9]", s)
              for p in re.split(r"%[1-9]", s)} - {""}
    def covered(text):
        if text in not_shown or text in exact:
            return True
        if text.strip() in pieces:
            return True
        # A file filter "description|pattern|…": the descriptions are shown.
        fields = text.split("|")
        if len(fields) > 1 and len(fields) % 2 == 0:
            return all(covered(d) for d in fields[0::2] if any(ord(c) > 127 for c in d))
        return False

    result = []
    for text, where in sorted(program_texts().items(), key=lambda kv: kv[1]):
        if not covered(text):
            result.append((text, where))
    for s, f in entries:
        if not f:
            result.append((s, "unfinished in translations/"))
    return result


def escape_xml(s):
    return s.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


def update():
    new = [t for t, where in missing() if not where.startswith("unfinished")]
    if new:
        with open(TEXTS_TS, encoding="utf-8") as f:
            ts = f.read()
        add = "".join(
            "    <message>\n        <source>%s</source>\n        <translation type=\"unfinished\"></translation>\n    </message>\n"
            % escape_xml(t) for t in new)
        at = ts.rindex("</context>")
        with open(TEXTS_TS, "w", encoding="utf-8") as f:
            f.write(ts[:at] + add + ts[at:])
    lupdate = os.environ.get("LUPDATE", "/usr/lib/qt6/bin/lupdate")
    if os.path.exists(lupdate):
        subprocess.run([lupdate, "-silent", "-locations", "none", "-no-obsolete", "-source-language", "ja",
                        "-target-language", "en", os.path.join(ROOT, "src"), "-ts", FORMS_TS], check=True)
    print("%d new texts to translate in %s" % (len(new), os.path.relpath(TEXTS_TS, ROOT)))
    # Entries the program no longer uses: no literal is the text, nor one of
    # its fixed pieces.
    used = {f.strip() for t in program_texts() for f in [t] + t.split("|")}
    for source, _ in translations(TEXTS_TS):
        pieces = [p.strip() for p in re.split(r"%[1-9]", source) if p.strip()]
        built = any("%" in u and source.startswith(u) for u in used)  # a pattern's start, parts added
        if source.strip() not in used and not any(p in used for p in pieces) and not built:
            print("no longer used: \"%s\"" % source.replace("\n", "\\n"))


def main():
    if len(sys.argv) != 2 or sys.argv[1] not in ("check", "update"):
        print(__doc__)
        return 2
    if sys.argv[1] == "update":
        update()
        return 0
    gaps = missing()
    for text, where in gaps:
        print("%s: no English for \"%s\"" % (where, text.replace("\n", "\\n")))
    if gaps:
        print("%d texts lack an English translation; run scripts/translations.py update and translate them" % len(gaps))
        return 1
    print("every shown Japanese text has an English translation")
    return 0


if __name__ == "__main__":
    sys.exit(main())
