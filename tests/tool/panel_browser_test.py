#!/usr/bin/env python3
"""lumora panel end to end: its refusals over plain HTTP, then the page in headless
Chromium through WebDriver. Usage: panel_browser_test.py LUMORA SCREENSHOT_DIR"""
import http.client
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

from headless_chromium import Browser
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import WebDriverWait

LUMORA = sys.argv[1] if len(sys.argv) > 1 else "build/lumora"
SHOTS = sys.argv[2] if len(sys.argv) > 2 else tempfile.mkdtemp()
os.makedirs(SHOTS, exist_ok=True)
PATIENCE = 20  # seconds a wait may take before the case fails


class Panel:
    """A lumora panel on a device root of its own."""

    def __init__(self):
        self.root = tempfile.mkdtemp(prefix="lumora-panel-test-")
        self.process = subprocess.Popen([LUMORA, "--root", self.root, "panel"],
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                        text=True)
        line = self.process.stdout.readline()
        match = re.search(r"http://127\.0\.0\.1:(\d+)/\?token=([0-9a-f]+)", line)
        if not match:
            raise RuntimeError("no address in: " + line)
        self.address, self.port, self.token = match.group(0), int(match.group(1)), match.group(2)

    def lumora(self, *args):
        return subprocess.run([LUMORA, "--root", self.root, *args], capture_output=True, text=True)

    def stored(self, key):
        """The key's value and whether it is stored, as lumora prefs get says."""
        answer = json.loads(self.lumora("prefs", "get", key, "--json").stdout)
        return answer["value"], answer["source"]

    def request(self, method, path, body=None, headers=None, token=True):
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=10)
        sent = {"Host": "127.0.0.1:%d" % self.port}
        if token:
            sent["Cookie"] = "lumora-panel-%d=%s" % (self.port, self.token)
        sent.update(headers or {})
        connection.request(method, path, body=body, headers=sent)
        response = connection.getresponse()
        answer = response.status, response.read()
        connection.close()
        return answer

    def stop(self):
        """Stops it with SIGTERM; its exit status, and whether it left its lock or socket."""
        self.process.send_signal(signal.SIGTERM)
        status = self.process.wait(timeout=30)
        self.process.stdout.close()
        left = [f for f in (".lumora-run.lock", ".lumora-run.sock") if os.path.exists(os.path.join(self.root, f))]
        shutil.rmtree(self.root, ignore_errors=True)
        return status, left


def wait_for(what, condition):
    deadline = time.monotonic() + PATIENCE
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.05)
    raise AssertionError("waited %d s for %s" % (PATIENCE, what))


class Refusals(unittest.TestCase):
    def test_requests_that_are_refused_change_nothing(self):
        panel = Panel()
        try:
            self.assertEqual(panel.request("GET", "/api/state")[0], 200)
            self.assertEqual(panel.request("GET", "/api/state", token=False)[0], 403)
            self.assertEqual(panel.request("GET", "/api/state?token=" + "0" * 32, token=False)[0], 403)
            self.assertEqual(panel.request("GET", "/api/state", headers={"Host": "evil.example:%d" % panel.port})[0], 403)
            self.assertEqual(panel.request("GET", "/api/state", headers={"Host": "127.0.0.1:1"})[0], 403)
            change = json.dumps({"key": "borderWidthBanner", "value": 7})
            self.assertEqual(panel.request("POST", "/api/set", change, {"Origin": "http://evil.example"})[0], 403)
            self.assertEqual(panel.request("GET", "/api/set?key=borderWidthBanner&value=7")[0], 404)
            big = json.dumps({"key": "borderWidthBanner", "value": 7, "pad": "x" * (1 << 20)})
            self.assertEqual(panel.request("POST", "/api/set", big)[0], 413)
            for path in ["/../../etc/passwd", "/panel_command.cpp", "/presets/glass.json", "/%2e%2e/CMakeLists.txt"]:
                self.assertEqual(panel.request("GET", path)[0], 404, path)
            self.assertEqual(panel.stored("borderWidthBanner"), (2, "default"))
            # The same change from the page's own origin goes through.
            self.assertEqual(panel.request("POST", "/api/set", change, {"Origin": "http://localhost:%d" % panel.port})[0], 200)
            self.assertEqual(panel.stored("borderWidthBanner"), (7, "stored"))
            # A run on the same root is refused, naming the panel.
            refused = panel.lumora("run")
            self.assertEqual(refused.returncode, 1)
            self.assertIn("lumora panel is already running on", refused.stderr)
        finally:
            self.assertEqual(panel.stop(), (0, []))


class InTheBrowser(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.panel = Panel()
        cls.browser = Browser(["--headless=new", "--no-sandbox", "--disable-dev-shm-usage",
                               "--window-size=1500,1000", "--force-device-scale-factor=1"])
        cls.driver = cls.browser.driver
        cls.driver.get(cls.panel.address)
        cls.ready()

    @classmethod
    def tearDownClass(cls):
        cls.browser.quit()
        stopped = cls.panel.stop()
        assert stopped == (0, []), "the panel ended with status %d, leaving %s" % stopped

    @classmethod
    def ready(cls):
        wait_for("the page", lambda: cls.driver.execute_script("return document.body.dataset.ready === 'true'"))

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def field(self, id):
        return self.driver.find_element(By.ID, id)

    def pixels(self):
        """A digest of the picture's pixels as the page shows them."""
        return wait_for("a picture", lambda: self.js("""
            const img = document.getElementById('picture');
            if (!img.complete || !img.naturalWidth) return null;
            const c = document.createElement('canvas');
            c.width = img.naturalWidth; c.height = img.naturalHeight;
            const g = c.getContext('2d'); g.drawImage(img, 0, 0);
            const d = g.getImageData(0, 0, c.width, c.height).data;
            let h = 0; for (let i = 0; i < d.length; i += 7) h = (h * 31 + d[i]) >>> 0;
            return c.width + 'x' + c.height + ':' + h;"""))

    def screenshot(self, name):
        """Saves the window once the picture shows the latest state."""
        wait_for("the picture of the latest state", lambda: self.js(
            "return Number(document.getElementById('picture').dataset.version) >= Number(document.body.dataset.version)"))
        self.driver.save_screenshot(os.path.join(SHOTS, name))

    def click(self, id):
        """Clicks the element once it is scrolled into the middle of the window."""
        element = self.field(id)
        self.js("arguments[0].scrollIntoView({block: 'center'})", element)
        element.click()

    def type_into(self, id, text):
        self.field(id).send_keys(Keys.CONTROL, "a")
        self.field(id).send_keys(text, Keys.TAB)

    def test_1_a_colour_changes_the_picture_and_the_store(self):
        before = self.pixels()
        self.type_into("t-colorBackgroundBanner", "#FF0000")
        wait_for("the new picture", lambda: self.pixels() != before)
        self.assertEqual(self.panel.stored("colorBackgroundBanner"), ("#FF0000", "stored"))
        self.screenshot("panel.png")

    def test_2_a_refused_value_is_said_and_not_stored(self):
        self.type_into("n-borderWidthBanner", "999")
        message = wait_for("the message", lambda: self.field("m-borderWidthBanner").text)
        self.assertIn("0 to 50", message)
        self.assertEqual(self.panel.stored("borderWidthBanner"), (2, "default"))
        self.field("m-borderWidthBanner").location_once_scrolled_into_view
        self.screenshot("panel-refused.png")

    def test_3_a_test_banner_shows_in_the_picture(self):
        self.js("const s = document.getElementById('screen'); s.value = 'home'; s.dispatchEvent(new Event('change'));")
        wait_for("the home screen alone", lambda: self.js("return document.getElementById('picture').naturalWidth < 500"))
        before = self.pixels()
        self.click("test-regular")
        wait_for("the bulletin in the state", lambda: self.js(
            "return [...document.getElementById('surface').options].some(o => o.value.startsWith('bulletin-'))"))
        wait_for("the bulletin in the picture", lambda: self.pixels() != before)
        self.screenshot("panel-test-banner.png")
        self.js("const s = document.getElementById('screen'); s.value = 'all'; s.dispatchEvent(new Event('change'));")

    def test_4_a_setting_written_elsewhere_shows(self):
        self.driver.find_element(By.TAG_NAME, "h1").click()
        before = self.pixels()
        self.assertEqual(self.panel.lumora("prefs", "set", "colorBackgroundLockscreen", "#FFFFFF").returncode, 0)
        wait_for("the picture to follow", lambda: self.pixels() != before)
        self.assertEqual(self.panel.lumora("prefs", "set", "indicatorModernSizeBanner", "20").returncode, 0)
        wait_for("the control to follow", lambda: self.field("n-indicatorModernSizeBanner").get_attribute("value") == "20")
        # A fixed text colour too close to its fixed background is pointed out.
        self.assertEqual(self.panel.lumora("prefs", "set", "colorPrimaryLabelBanner", "#EE1111").returncode, 0)
        warning = wait_for("the contrast warning", lambda: self.field("w-colorPrimaryLabelBanner").text)
        self.assertRegex(warning, r"Contrast 1\.\d\d:1 against colorBackgroundBanner")
        self.js("arguments[0].scrollIntoView({block: 'center'})", self.field("w-colorPrimaryLabelBanner"))
        self.screenshot("panel-contrast.png")
        # On a dominant background, against the colour the scene's banner computes (the
        # messaging app's green); then the settings as they were, for the tests after.
        background = self.panel.stored("colorBackgroundBanner")[0]
        self.assertEqual(self.panel.lumora("prefs", "set", "colorBackgroundBanner", "dominant").returncode, 0)
        self.assertEqual(self.panel.lumora("prefs", "set", "colorPrimaryLabelBanner", "#7FD98C").returncode, 0)
        warning = wait_for("the dominant contrast warning",
                           lambda: "dominant" in self.field("w-colorPrimaryLabelBanner").text and
                           self.field("w-colorPrimaryLabelBanner").text)
        self.assertRegex(warning, r"Contrast \d\.\d\d:1 against colorBackgroundBanner \(dominant, on message\)")
        self.assertEqual(self.panel.lumora("prefs", "set", "colorBackgroundBanner", background).returncode, 0)
        self.assertEqual(self.panel.lumora("prefs", "set", "colorPrimaryLabelBanner", "#EE1111").returncode, 0)
        wait_for("the settings back", lambda: "dominant" not in self.field("w-colorPrimaryLabelBanner").text)

    def test_5_presets_apply_undo_and_import(self):
        self.click("apply-glass")
        wait_for("the preset", lambda: self.panel.stored("styleBanner")[1] == "stored" or
                 self.panel.stored("colorBackgroundBanner")[0] != "#FF0000")
        applied = self.panel.stored("colorBackgroundBanner")
        self.assertNotEqual(applied, ("#FF0000", "stored"))
        self.field("presets").location_once_scrolled_into_view
        self.screenshot("panel-presets.png")
        self.click("undo")
        wait_for("the undo", lambda: self.panel.stored("colorBackgroundBanner") == ("#FF0000", "stored"))
        with tempfile.NamedTemporaryFile("w", suffix=".json", delete=False) as f:
            json.dump({"name": "Wide borders", "description": "", "settings": {"borderWidthBanner": 9}}, f)
        self.field("upload").send_keys(f.name)
        listed = wait_for("the list of changes", lambda: self.field("upload-changes").text)
        self.assertIn("borderWidthBanner: (not set) → 9", listed)
        self.js("arguments[0].scrollIntoView({block: 'center'})", self.field("upload-changes"))
        self.screenshot("panel-import.png")
        self.assertEqual(self.panel.stored("borderWidthBanner"), (2, "default"))
        self.click("upload-apply")
        wait_for("the import", lambda: self.panel.stored("borderWidthBanner") == (9, "stored"))
        os.unlink(f.name)

    def test_6_a_reload_shows_the_same_state(self):
        values = lambda: [self.field(i).get_attribute("value") for i in
                          ("t-colorBackgroundBanner", "n-borderWidthBanner", "n-indicatorModernSizeBanner")]
        wait_for("the import in the controls", lambda: values()[1] == "9")
        shown = values()
        self.driver.refresh()
        self.ready()
        self.assertEqual(values(), shown)
        self.assertEqual(shown, ["#FF0000", "9", "20"])


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
