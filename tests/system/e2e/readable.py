#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Reads what a screen reader reads of the running program, through the desktop's
# accessibility bus:
#   readable.py question          the question on the board ("5 + 2 ="), empty when idle
#   readable.py number            the question's number in the number box
#   readable.py dialog TITLE      the text of the newest open dialog with that title
import sys

import pyatspi


def program():
    for application in pyatspi.Registry.getDesktop(0):
        if application is not None and application.name == "Numbelo 2000":
            return application
    sys.exit("the program is not on the accessibility bus")


def find(node, wanted):
    if wanted(node):
        return node
    for child in node:
        if child is not None:
            found = find(child, wanted)
            if found is not None:
                return found
    return None


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


what = sys.argv[1]
if what == "question":
    # The board is the main window's client area, read as a label named by its question.
    frame = find(program(), lambda n: n.getRole() == pyatspi.ROLE_FRAME and showing(n))
    board = frame[0] if frame is not None and frame.childCount else None
    print(board.name if board is not None else "")
elif what == "number":
    box = find(program(), lambda n: n.name == "Nomor pertanyaan")
    print(box.queryText().getText(0, -1))
elif what == "dialog":
    dialogs = [n for n in program() if n is not None and n.name == sys.argv[2] and showing(n)]
    if not dialogs:
        sys.exit("no dialog " + sys.argv[2])
    print(dialogs[-1].description)
