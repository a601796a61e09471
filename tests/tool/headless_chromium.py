"""Headless Chromium driven through WebDriver, for the settings panel's browser test and
benchmark. Chromium and its chromedriver are started here and reached at 127.0.0.1:
Selenium's own service, and chromedriver starting the browser itself, reach them by the
name "localhost", which a machine without /etc/hosts cannot resolve."""
import shutil
import socket
import subprocess
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.remote.file_detector import UselessFileDetector


def _free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def _wait_for_port(port, process, what):
    deadline = time.monotonic() + 20
    while True:
        try:
            socket.create_connection(("127.0.0.1", port), timeout=1).close()
            return
        except OSError:
            if process.poll() is not None or time.monotonic() > deadline:
                raise RuntimeError("%s did not start on 127.0.0.1:%d" % (what, port))
            time.sleep(0.05)


class Browser:
    def __init__(self, arguments):
        self._profile = tempfile.mkdtemp(prefix="lumora-chromium-")
        self._processes = []
        try:
            debugging = _free_port()
            self._processes.append(subprocess.Popen(
                [shutil.which("chromium") or "/usr/bin/chromium", *arguments,
                 "--remote-debugging-address=127.0.0.1", "--remote-debugging-port=%d" % debugging,
                 "--user-data-dir=" + self._profile, "about:blank"],
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
            _wait_for_port(debugging, self._processes[-1], "chromium")
            port = _free_port()
            self._processes.append(subprocess.Popen(
                [shutil.which("chromedriver") or "/usr/bin/chromedriver", "--port=%d" % port],
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
            _wait_for_port(port, self._processes[-1], "chromedriver")
            options = webdriver.ChromeOptions()
            options.debugger_address = "127.0.0.1:%d" % debugging
            self.driver = webdriver.Remote(command_executor="http://127.0.0.1:%d" % port,
                                           options=options)
        except Exception:
            self._stop()
            raise
        # The browser runs on this machine: a file to upload is named by its path, as
        # a local driver does, not sent over the wire.
        self.driver.file_detector = UselessFileDetector()

    def _stop(self):
        for process in reversed(self._processes):
            process.terminate()
            try:
                process.wait(10)
            except subprocess.TimeoutExpired:
                process.kill()
        shutil.rmtree(self._profile, ignore_errors=True)

    def quit(self):
        try:
            self.driver.quit()
        finally:
            self._stop()
