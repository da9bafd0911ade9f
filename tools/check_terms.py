#!/usr/bin/env python3
"""Checks the program's words against docs/terms.md: no string of the program and no text
of the help uses a form the table says is not used; the help's menu sections list every
menu item in the menu's order; the help names every key the hot-key text can use.

Usage: check_terms.py ROOT   (exit code 1 and one line per fault when any is found)
"""
import html
import pathlib
import re
import sys

root = pathlib.Path(sys.argv[1])
faults = []

# The table: the third column's `…` forms.
avoided = []
for line in (root / "docs/terms.md").read_text(encoding="utf-8").splitlines():
    cells = [c.strip() for c in re.split(r"(?<!\\)\|", line.strip().strip("|"))]
    if len(cells) == 3 and cells[0] not in ("Term", "---"):
        for form in re.findall(r"`([^`]+)`", cells[2]):
            avoided.append((cells[0], re.compile(form.replace("\\|", "|"))))
if len(avoided) < 10:
    sys.exit("docs/terms.md: the table was not read (%d forms)" % len(avoided))

# The program's strings: the wide literals of the sources the user sees text from.
literal = re.compile(r'L"((?:[^"\\]|\\.)*)"')
sources = [p for d in ("app", "buttons", "dialogs", "gui", "showhide", "core")
           for p in sorted((root / d).rglob("*")) if p.suffix in (".cpp", ".h")]
texts = []
for path in sources:
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        for text in literal.findall(line):
            texts.append(("%s:%d" % (path.relative_to(root), number), text))
help_text = (root / "help/help.htm").read_text(encoding="utf-8")
body = help_text[help_text.index("<body"):]
for number, line in enumerate(body.splitlines(), 1):
    texts.append(("help/help.htm body line %d" % number, line))
for where, text in texts:
    for term, form in avoided:
        if form.search(text):
            faults.append("%s: 「%s」 uses %s; the term is %s" % (where, text[:60], form.pattern, term))

# The menus in the help, in the menu's order.
menus = (root / "app/main_menus.cpp").read_text(encoding="utf-8")
for table, section in (("kPopupMenu1", "tabmenu"), ("kPopupMenu2", "traymenu")):
    block = menus[menus.index("const MenuItemDef %s[]" % table):]
    block = block[:block.index("};")]
    items = [c for c in re.findall(r'\{L"([^"]+)", &TfrmMain::', block) if c != "-"]
    part = body[body.index('<h2 id="%s">' % section):]
    part = part[:part.index("</table>")]
    listed = [html.unescape(re.sub(r"<[^>]+>", "", th)).strip() for th in re.findall(r"<th>(.*?)</th>", part)]
    if listed != items:
        faults.append("help #%s lists %s; the menu has %s" % (section, listed, items))

# Every key name the text form can use, in the help's list of them.
keys = (root / "core/key_assign.cpp").read_text(encoding="utf-8")
names = [n.replace("\\\\", "\\") for n in re.findall(r'\{0x[0-9A-F]+, L"((?:[^"\\]|\\.)*)"\}', keys)]
keypart = body[body.index('id="keynames"'):]
keypart = html.unescape(keypart[:keypart.index("<h2")])
for name in names:
    # "Shift" and "Ctrl" read as modifiers and "Num+" is cut at its "+": no text names them.
    if name not in ("Shift", "Ctrl", "Num+") and "<code>%s</code>" % name not in keypart:
        faults.append("help #keynames does not name the key %s" % name)
if len(names) < 100:
    faults.append("core/key_assign.cpp: the key table was not read (%d names)" % len(names))

for fault in faults:
    print(fault)
print("%d strings and help lines checked against %d forms: %d faults" % (len(texts), len(avoided), len(faults)))
sys.exit(1 if faults else 0)
