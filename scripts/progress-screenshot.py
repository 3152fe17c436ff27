"""Drives the program through AT-SPI, as a screen reader would: adds every file of
the folder shown, merges, reads the progress window, takes its picture, cancels,
and reads the box that follows. Run by scripts/progress-screenshot."""
import subprocess
import sys
import time

import pyatspi


def find(node, role, name=None, depth=0):
    if node is None or depth > 25:
        return None
    if node.getRole() == role and (name is None or node.name == name):
        return node
    for i in range(node.childCount):
        found = find(node.getChildAtIndex(i), role, name, depth + 1)
        if found is not None:
            return found
    return None


def wait_for(what, seconds=20):
    end = time.time() + seconds
    while time.time() < end:
        found = what()
        if found is not None:
            return found
        time.sleep(0.05)
    sys.exit("not found in time")


def program():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and find(app, pyatspi.ROLE_PUSH_BUTTON, "合并") is not None:
            return app
    return None


def press(app, name):
    button = wait_for(lambda: find(app, pyatspi.ROLE_PUSH_BUTTON, name))
    button.queryAction().doAction(0)


app = wait_for(program)
press(app, "添加全部")
time.sleep(0.5)
press(app, "合并")

window = wait_for(lambda: find(app, pyatspi.ROLE_DIALOG, "正在合并"), 30)
time.sleep(0.5)
bar = find(window, pyatspi.ROLE_PROGRESS_BAR)
label = find(window, pyatspi.ROLE_LABEL)
cancel = find(window, pyatspi.ROLE_PUSH_BUTTON, "取消")
print("window:", window.name)
print("file:", label.name if label is not None else None)
print("bar:", bar.name if bar is not None else None, bar.queryValue().currentValue if bar is not None else None)
print("button:", cancel.name if cancel is not None else None)
ids = subprocess.run(["xdotool", "search", "--name", "^正在合并$"], capture_output=True, text=True).stdout.split()
subprocess.run(["import", "-frame", "-window", ids[0], "docs/progress.png"], check=True)
print("docs/progress.png written")

cancel.queryAction().doAction(0)
box = wait_for(lambda: find(app, pyatspi.ROLE_ALERT) or find(app, pyatspi.ROLE_DIALOG, "Tamborel"))
text = find(box, pyatspi.ROLE_LABEL)
print("box:", box.name, "|", text.name if text is not None else None)
press(box, "确定")
press(app, "退出")
