"""What the browser tests share: a program directory with accounts, a
zorbix-server on a free port over it, and a headless Chromium."""

import json
import os
import pty
import re
import shutil
import socket
import subprocess
import tempfile
import time
import unittest
import urllib.request

PROGRAM = os.environ.get("ZORBIX_PROGRAM", os.path.join(os.path.dirname(__file__), "../../build/program"))
CLI = os.path.join(PROGRAM, "zorbix-cli")
SERVER = os.path.join(PROGRAM, "zorbix-server")
CHROMEDRIVER = "/usr/bin/chromedriver"


def cli(directory, *args, stdin=None):
    """Runs zorbix-cli on the directory; fails the test on a non-zero exit."""
    done = subprocess.run([CLI, "--dir", directory, *args], input=stdin, capture_output=True,
                          text=True, timeout=60)
    if done.returncode != 0:
        raise AssertionError("zorbix-cli %s: %s%s" % (" ".join(args), done.stdout, done.stderr))
    return done.stdout


def add_unit(directory, name, unit, password):
    cli(directory, "account", "add", name, "--role", "unit", "--unit", unit, stdin=password + "\n")


def add_unit_with_one_time_password(directory, name, unit):
    """An account as the office hands it out: on a terminal zorbix-cli prints a
    one-time password, which must be changed at the first login."""
    leader, follower = pty.openpty()
    try:
        done = subprocess.run([CLI, "--dir", directory, "account", "add", name, "--role", "unit",
                               "--unit", unit], stdin=follower, capture_output=True, text=True,
                              timeout=60)
    finally:
        os.close(follower)
        os.close(leader)
    if done.returncode != 0:
        raise AssertionError(done.stderr)
    found = re.search(r"一次性密码：(\S+?)（", done.stdout)
    if not found:
        raise AssertionError("no one-time password in: " + done.stdout)
    return found.group(1)


def prepared_program_directory():
    """A temporary program directory with the report template beside it, as
    an installation seeds one."""
    directory = tempfile.mkdtemp(prefix="zorbix-web-")
    for name in os.listdir(PROGRAM):
        if name.endswith(".docx"):
            shutil.copy(os.path.join(PROGRAM, name), directory)
    return directory


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class RunningServer:
    def __init__(self, directory):
        self.port = free_port()
        self.url = "http://127.0.0.1:%d" % self.port
        self.log = open(os.path.join(directory, "server.log"), "w")
        self.process = subprocess.Popen(
            [SERVER, "--dir", directory, "--listen", "127.0.0.1:%d" % self.port],
            stdout=self.log, stderr=subprocess.STDOUT)
        deadline = time.time() + 30
        while time.time() < deadline:
            try:
                urllib.request.urlopen(self.url + "/index.html", timeout=1).read()
                return
            except OSError:
                if self.process.poll() is not None:
                    break
                time.sleep(0.1)
        self.stop()
        raise AssertionError("zorbix-server did not start")

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            self.process.wait(timeout=30)
        if not self.log.closed:
            self.log.close()


def browser():
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    options = webdriver.ChromeOptions()
    options.add_argument("--headless=new")
    options.add_argument("--no-sandbox")
    options.add_argument("--disable-dev-shm-usage")
    options.add_argument("--window-size=1366,768")
    options.add_argument("--lang=zh-CN")
    return webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)


class ServerTestCase(unittest.TestCase):
    """A program directory and a server over it for each test; browsers are
    opened by the test and closed with it."""

    def setUp(self):
        self.directory = prepared_program_directory()
        self.addCleanup(shutil.rmtree, self.directory, True)
        self.server = None
        self.browsers = []

    def start_server(self):
        self.server = RunningServer(self.directory)
        self.addCleanup(self.server.stop)
        return self.server

    def open_browser(self):
        driver = browser()
        driver.implicitly_wait(0)
        self.addCleanup(driver.quit)
        return driver

    def assert_no_console_errors(self, driver, missing_calls=()):
        """Nothing the page did was refused or failed: no script error, no
        content security policy violation, no missing file; a 404 of one of
        `missing_calls`, a call the server does not have yet, aside."""
        errors = [e["message"] for e in driver.get_log("browser") if e["level"] == "SEVERE"
                  and not any(self.server.url + call + " " in e["message"] and "404" in e["message"]
                              for call in missing_calls)]
        self.assertEqual(errors, [])

    def api_login(self, name, password):
        """Logs in as a script does; answers (cookie, csrf)."""
        status, body, headers = self.api("POST", "/api/login", {"name": name, "password": password})
        self.assertEqual(status, 200, body)
        return headers["Set-Cookie"].split(";")[0], json.loads(body)["csrf"]

    def api(self, method, path, body=None, cookie=None, csrf=None):
        """Calls the server as a script would, a body of bytes sent as a file;
        answers (status, body, headers)."""
        request = urllib.request.Request(self.server.url + path, method=method)
        if isinstance(body, bytes):
            request.data = body
            request.add_header("Content-Type", "application/octet-stream")
        elif body is not None:
            request.data = json.dumps(body).encode()
            request.add_header("Content-Type", "application/json")
        if cookie:
            request.add_header("Cookie", cookie)
        if csrf:
            request.add_header("X-CSRF-Token", csrf)
        try:
            with urllib.request.urlopen(request, timeout=30) as response:
                return response.status, response.read(), response.headers
        except urllib.error.HTTPError as error:
            return error.code, error.read(), error.headers


_ESCAPES = {"\\": "\\\\", "\r": "\\r", "\n": "\\n", "\t": "\\t"}
_UNESCAPES = {"\\": "\\", "r": "\r", "n": "\n", "t": "\t"}


def escaped(text):
    """A value as zorbix-cli's set takes it."""
    return "".join(_ESCAPES.get(c, c) for c in text)


def get_values(directory, number):
    """Every column of a stored project, as zorbix-cli's get prints it."""
    values = {}
    for line in cli(directory, "get", number).splitlines():
        name, _, text = line.partition("=")
        values[name] = re.sub(r"\\(.)", lambda m: _UNESCAPES.get(m.group(1), m.group(1)), text)
    return values


def set_values(directory, number, values):
    cli(directory, "set", number, *("%s=%s" % (name, escaped(text)) for name, text in values.items()))
