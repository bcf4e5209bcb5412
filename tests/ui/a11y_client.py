#!/usr/bin/python3
"""A screen reader's view of the real program, through AT-SPI: the tree in
the window's order with roles, names, text and states; the Tab order;
the README spool typed, after which the capacity reads 6454.1 and the
focused field's description says so; the help text line by line; and
spool.txt picked in the chooser and loaded by Update. Keys go in as a
user's do: xdotool on X11, wtype on Wayland."""
import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

WAIT = float(os.environ.get('WAIT', '20'))
described = []


def fail(message):
    print(message, file=sys.stderr)
    sys.exit(1)


def until(what, probe):
    end = time.time() + WAIT
    while time.time() < end:
        while GLib.MainContext.default().iteration(False):
            pass
        try:
            got = probe()
            if got:
                return got
        except Exception:  # a window closing under the probe; tried again
            pass
        time.sleep(0.05)
    fail(what)


def keys(*names):
    wayland = os.environ.get('WAYLAND_DISPLAY')
    for name in names:
        if len(name) == 1 and not wayland:
            name = {'.': 'period'}.get(name, name)
        if wayland and name == 'ctrl+a':
            subprocess.run(['wtype', '-M', 'ctrl', 'a', '-m', 'ctrl'], check=True)
        elif wayland:
            subprocess.run(['wtype', name] if len(name) == 1 else ['wtype', '-k', name], check=True)
        else:
            subprocess.run(['xdotool', 'key', name], check=True)


def typed(text):
    keys('ctrl+a', *text)


def children(o):
    return [o.getChildAtIndex(i) for i in range(o.childCount)]


def program():
    desktop = pyatspi.Registry.getDesktop(0)
    return next(a for a in children(desktop) if a and a.name == 'merrivane')


def window(title):
    w = until(f"no window '{title}'", lambda: next(w for w in children(program()) if w.name == title))
    # a desktop gives a new window the keyboard; Xvfb alone does not
    if not os.environ.get('WAYLAND_DISPLAY'):
        subprocess.run(['xdotool', 'search', '--sync', '--onlyvisible', '--name', f'^{title}$',
                        'windowfocus', '--sync'], check=True, timeout=WAIT)
    return w


def gone(title):
    until(f"window '{title}' still there", lambda: all(w.name != title for w in children(program())))


def named(parent, name):
    return next(c for c in children(parent) if c.name == name)


def focused(o):
    return o.getState().contains(pyatspi.STATE_FOCUSED)


def text(o):
    return o.queryText().getText(0, -1)


def press(o):
    o.queryAction().doAction(0)


pyatspi.Registry.registerEventListener(
    lambda e: described.append((e.source.name, e.source.description)),
    'object:property-change:accessible-description')

main = window('Merrivane')
FIELDS = ['spool width (in)', 'outer diameter (in)', 'hub diameter (in)', 'line width (in)']
BUTTONS = ['Spool File', 'Line File', 'Update', 'Help']
tree = [(c.getRole(), c.name) for c in children(main)]
want = ([(pyatspi.ROLE_ENTRY, f) for f in FIELDS] + [(pyatspi.ROLE_TEXT, 'capacity (yds)')] +
        [(pyatspi.ROLE_PUSH_BUTTON, b) for b in BUTTONS])
if tree != want:
    fail(f'main window holds {[(c.getRoleName(), c.name) for c in children(main)]}')
cap = named(main, 'capacity (yds)')
if not cap.getState().contains(pyatspi.STATE_READ_ONLY) or cap.getState().contains(pyatspi.STATE_FOCUSABLE):
    fail('the capacity is not read-only text out of the Tab order')
if not all(named(main, f).getState().contains(pyatspi.STATE_EDITABLE) for f in FIELDS):
    fail('a field is not editable')

# Tab from the first field round the window and back
order = FIELDS + BUTTONS + FIELDS[:1]
# on Wayland the compositor has a keyboard to give only once wtype has
# made one: a Shift pressed alone, which types nothing, makes it
pokes = []


def first_focus():
    if os.environ.get('WAYLAND_DISPLAY') and len(pokes) < time.time() - started:
        pokes.append(subprocess.run(['wtype', '-k', 'Shift_L'], check=False))
    return focused(named(main, order[0]))


started = time.time()
until('the first field never has the focus', first_focus)
for name in order[1:]:
    keys('Tab')
    until(f"Tab did not bring the focus to '{name}'", lambda: focused(named(main, name)))

for name, value in zip(FIELDS, ['3.5', '6', '1.5', '0.02']):
    typed(value)
    until(f"'{name}' reads {text(named(main, name))!r}, not {value}", lambda: text(named(main, name)) == value)
    if name != FIELDS[-1]:
        keys('Tab')
until(f'the capacity reads {text(cap)!r}', lambda: text(cap) == '6454.1')
until(f'no description told the capacity: {described}',
      lambda: ('line width (in)', 'capacity (yds) 6454.1') in described)

# the help text, line by line
keys('Tab', 'Tab', 'Tab', 'Tab', 'space')
helptext = until('no help text', lambda: children(window('Help'))[0])
# keys go to the help window once it has the keyboard
until('the help text never has the focus', lambda: focused(helptext))
first = helptext.queryText().getTextAtOffset(0, pyatspi.TEXT_BOUNDARY_LINE_START)
second = helptext.queryText().getTextAtOffset(first[2], pyatspi.TEXT_BOUNDARY_LINE_START)
if (first[0], second[0]) != ('Merrivane 1.00\n', '\n') or not text(helptext).endswith('hit the Update button\n'):
    fail(f'help text lines {first}, {second}')
keys('Escape')
gone('Help')

# another spool set through AT-SPI, then spool.txt picked in the chooser
# and loaded by Update: the README spool again
for name, value in zip(FIELDS, ['1', '2', '1']):
    named(main, name).queryEditableText().setTextContents(value)
until(f'the capacity reads {text(cap)!r} for another spool', lambda: text(cap) != '6454.1')
press(named(main, 'Spool File'))
chooser = window('Choose File')
roles = {(c.getRole(), c.name) for c in children(chooser)}
for need in [(pyatspi.ROLE_ENTRY, 'Filename'), (pyatspi.ROLE_COMBO_BOX, 'Show'), (pyatspi.ROLE_PUSH_BUTTON, 'OK'),
             (pyatspi.ROLE_PUSH_BUTTON, 'Cancel'), (pyatspi.ROLE_CHECK_BOX, 'Preview')]:
    if need not in roles:
        fail(f'the chooser has no {need}: {[(c.getRoleName(), c.name) for c in children(chooser)]}')
files = next(c for c in children(chooser) if c.getRole() == pyatspi.ROLE_LIST)
spool = until('no spool.txt in the file list', lambda: next(i for i in children(files) if i.name == 'spool.txt'))
press(spool)
until('picking spool.txt did not name it', lambda: text(named(chooser, 'Filename')).endswith('spool.txt'))
press(named(chooser, 'OK'))
gone('Choose File')
press(named(main, 'Update'))
until(f'after Update the fields read {[text(named(main, f)) for f in FIELDS]}',
      lambda: [text(named(main, f)) for f in FIELDS] == ['3.5', '6', '1.5', '0.02'])
until(f'after Update the capacity reads {text(cap)!r}', lambda: text(cap) == '6454.1')
print('AT-SPI: the tree, Tab order, the README spool typed and heard, the help text, spool.txt picked')
