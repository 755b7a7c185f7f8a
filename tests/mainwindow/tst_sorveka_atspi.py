#!/usr/bin/python3
"""What a screen reader learns of the real program's window.

Run on a virtual X server with its own session bus (dbus-run-session): the
program is started with an outline, found on the accessibility bus (AT-SPI)
and read there: the names of the toolbar buttons and the two text boxes, and
whether each category in the tree is checked, which the window shows only by
a picture. Exits 77 (skipped) when the AT-SPI client library is missing.

Usage: tst_sorveka_atspi.py PROGRAM OUTLINE
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

try:
    import pyatspi
except ImportError:
    print("SKIP: python3-pyatspi is not installed, so the accessibility bus is not read")
    sys.exit(77)

# Each wait is bounded: polls of 100 ms, at most this many.
MAX_POLLS = 150

TOOLTIPS = ["新規", "開く", "上書き保存", "コピー", "切り取り", "貼り付け",
            "チェック反転", "削除", "印刷", "印刷プレビュー", "上へ", "下へ"]


def walk(node):
    yield node
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child)


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def find_application(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        application = desktop.getChildAtIndex(i)
        if application is not None and application.get_process_id() == pid:
            return application
    return None


def read_window(application):
    """Names of the showing toolbar buttons, names of the text boxes, and
    the description of each tree row by its title."""
    buttons, boxes, rows = [], [], {}
    for node in walk(application):
        role = node.getRole()
        if role == pyatspi.ROLE_TOOL_BAR:
            buttons = [button.name for button in walk(node)
                       if button.getRole() == pyatspi.ROLE_PUSH_BUTTON and showing(button)]
        elif role == pyatspi.ROLE_TEXT and showing(node):
            boxes.append(node.name)
        elif role == pyatspi.ROLE_TABLE_CELL and node.name:
            rows[node.name] = node.description
    return buttons, sorted(boxes), rows


def main():
    program, outline = sys.argv[1], sys.argv[2]
    if not os.environ.get("DBUS_SESSION_BUS_ADDRESS") or not os.environ.get("DISPLAY"):
        print("FAIL: run under xvfb-run and dbus-run-session")
        return 1

    folder = tempfile.mkdtemp()
    file = os.path.join(folder, "trip.svk")
    shutil.copyfile(outline, file)
    environment = dict(os.environ, QT_QPA_PLATFORM="xcb", LANG="C.UTF-8",
                       QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    process = subprocess.Popen([program, file], env=environment)
    try:
        expected = (TOOLTIPS, sorted(["タイトル", "本文"]),
                    {"Trip": "未チェック", "Packing": "未チェック", "Tickets": "チェック済み"})
        seen = None
        for _ in range(MAX_POLLS):
            if process.poll() is not None:
                print("FAIL: the program ended before it could be read")
                return 1
            application = find_application(process.pid)
            # The window may still be filling in when it first appears.
            seen = read_window(application) if application is not None else None
            if seen == expected:
                print("PASS: toolbar buttons, text boxes and tree rows are named for a screen reader")
                return 0
            time.sleep(0.1)
        print("FAIL: the accessibility bus shows")
        print("  toolbar buttons:", seen and seen[0])
        print("  text boxes:", seen and seen[1])
        print("  tree rows:", seen and seen[2])
        print("expected", expected)
        return 1
    finally:
        process.kill()
        process.wait()
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
