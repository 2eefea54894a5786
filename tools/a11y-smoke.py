#!/usr/bin/python3
"""Drives a running korvana through the accessibility tree (AT-SPI), as assistive technology
would: finds the fractal view, chooses "Create Julia from Mandelbrot" from the tool bar, clicks
into the view (xdotool) and checks that a new window NONAME1 appears and that the status bar
tells a new document. Run by tools/a11y-smoke (Xvfb, a session bus and the program)."""
import subprocess
import sys
import time

import pyatspi


def find(node, predicate, depth=0):
    if node is None or depth > 40:
        return None
    try:
        if predicate(node):
            return node
        for i in range(node.childCount):
            hit = find(node.getChildAtIndex(i), predicate, depth + 1)
            if hit is not None:
                return hit
    except Exception:
        return None
    return None


def named(name, role=None):
    return lambda n: n.name == name and (role is None or n.getRoleName() == role)


def wait_for(predicate, root_fn, seconds=20):
    end = time.time() + seconds
    while time.time() < end:
        hit = find(root_fn(), predicate)
        if hit is not None:
            return hit
        time.sleep(0.3)
    return None


def app():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        a = desktop.getChildAtIndex(i)
        if a is not None and a.name.lower().startswith("korvana"):
            return a
    return None


def main():
    view = wait_for(named("Fractal view"), app)
    if view is None:
        sys.exit("no fractal view in the accessibility tree")
    julia = find(app(), lambda n: n.name == "Create Julia from Mandelbrot"
                 and n.getRoleName() in ("push button", "toggle button", "check box"))
    if julia is None:
        sys.exit("no tool button 'Create Julia from Mandelbrot'")
    julia.queryAction().doAction(0)
    time.sleep(0.5)
    box = view.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    x, y = box.x + box.width // 2, box.y + box.height // 3
    subprocess.run(["xdotool", "mousemove", str(x), str(y)], check=True)
    time.sleep(0.2)
    subprocess.run(["xdotool", "mousemove", str(x + 1), str(y + 1), "click", "1"], check=True)
    window = wait_for(lambda n: "NONAME1" in (n.name or ""), app, 10)
    if window is None:
        sys.exit("no window NONAME1 after the Julia click")
    state = wait_for(named("Document state"), app, 5)
    if state is None or state.description != "New":
        sys.exit("status panel 'Document state' does not say New")
    print("a11y smoke: view found, Julia made through the tool bar, NONAME1 open, status New")


if __name__ == "__main__":
    main()
