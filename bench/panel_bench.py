#!/usr/bin/env python3
"""The settings panel in headless Chromium: the median time from a change in the page to
its picture shown, over 20 changes, and the pictures shown a second while a slider is
dragged for two seconds. Usage: panel_bench.py LUMORA"""
import os
import re
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "tool"))
from headless_chromium import Browser  # noqa: E402

lumora = sys.argv[1] if len(sys.argv) > 1 else "build/lumora"
root = tempfile.mkdtemp(prefix="lumora-panel-bench-")
panel = subprocess.Popen([lumora, "--root", root, "panel"], stdout=subprocess.PIPE, text=True)
address = re.search(r"http://\S+token=[0-9a-f]+", panel.stdout.readline()).group(0)
browser = Browser(["--headless=new", "--no-sandbox", "--disable-dev-shm-usage", "--window-size=1500,1000"])
driver = browser.driver


def wait(condition, what, patience=30):
    deadline = time.monotonic() + patience
    while not driver.execute_script("return " + condition):
        if time.monotonic() > deadline:
            raise SystemExit("panel_bench: waited %d s for %s" % (patience, what))
        time.sleep(0.01)


try:
    driver.get(address)
    wait("document.body.dataset.ready === 'true'", "the page")
    colours = ["#FF0000", "#0044FF"]
    for i in range(21):  # the first change warms up and is not counted
        driver.execute_script("""
            const t = document.getElementById('t-colorBackgroundBanner');
            t.value = arguments[0]; t.dispatchEvent(new Event('change'));""", colours[i % 2])
        wait("window.panelStats.changes.length === %d" % (i + 1), "change %d's picture" % (i + 1))
    changes = driver.execute_script("return window.panelStats.changes")[1:]
    drag = driver.execute_async_script("""
        const done = arguments[arguments.length - 1];
        const slider = document.getElementById('c-borderWidthBanner');
        const shown = window.panelStats.shown, first = shown.length, start = performance.now();
        let value = 0;
        const timer = setInterval(() => {
          value = (value + 1) % 51;
          slider.value = value;
          slider.dispatchEvent(new Event('input'));
          if (performance.now() - start >= 2000) {
            clearInterval(timer);
            const seconds = (performance.now() - start) / 1000;
            done(shown.filter((t) => t >= start).length / seconds);
          }
        }, 16);""")
    print("panel: change to picture shown, median of %d changes: %.1f ms (fastest %.1f, slowest %.1f)"
          % (len(changes), statistics.median(changes), min(changes), max(changes)))
    print("panel: pictures shown while a slider is dragged for 2 s: %.1f a second" % drag)
finally:
    browser.quit()
    panel.send_signal(signal.SIGTERM)
    panel.wait(timeout=30)
    shutil.rmtree(root, ignore_errors=True)
