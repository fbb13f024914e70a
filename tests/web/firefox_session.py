"""A headless Firefox ESR driven through its own Marionette port, for the
browser tests: Debian has no geckodriver, and Firefox needs none to be
remote-controlled. It answers the part of Selenium's WebDriver interface
that pages.py uses (find_element, execute_script, switch_to.active_element,
an element's click, send_keys, text, get_attribute, ...) and raises
Selenium's exceptions, so the same helpers and waits work in both browsers.

Firefox runs on a throw-away profile that allows nothing but the loopback
network, and is always ended and its profile removed by quit()."""

import base64
import ctypes
import json
import os
import shutil
import signal
import socket
import subprocess
import tempfile
import time

from selenium.common import exceptions

FIREFOX = "/usr/bin/firefox-esr"
ELEMENT_KEY = "element-6066-11e4-a52e-4f735466cecf"
START_TIMEOUT = 60

# What the profile sets, as user.js lines. Port 0 lets Firefox take a free
# port itself and name it in the profile's MarionetteActivePort file, so
# two tests running at once never race for a port.
PREFERENCES = {
    "marionette.port": 0,
    # No first-run, welcome, default-browser or crash-restore pages.
    "browser.shell.checkDefaultBrowser": False,
    "browser.startup.page": 0,
    "browser.startup.homepage": "about:blank",
    "browser.startup.homepage_override.mstone": "ignore",
    "startup.homepage_welcome_url": "about:blank",
    "startup.homepage_welcome_url.additional": "",
    "browser.aboutwelcome.enabled": False,
    "browser.newtabpage.enabled": False,
    "browser.sessionstore.resume_from_crash": False,
    "toolkit.startup.max_resumed_crashes": -1,
    "browser.tabs.warnOnClose": False,
    # No telemetry, studies, updates or other calls home.
    "datareporting.policy.dataSubmissionEnabled": False,
    "datareporting.healthreport.uploadEnabled": False,
    "toolkit.telemetry.enabled": False,
    "toolkit.telemetry.unified": False,
    "toolkit.telemetry.archive.enabled": False,
    "toolkit.telemetry.server": "",
    "app.normandy.enabled": False,
    "app.normandy.api_url": "",
    "app.shield.optoutstudies.enabled": False,
    "messaging-system.rsexperimentloader.enabled": False,
    "app.update.auto": False,
    "app.update.checkInstallTime": False,
    "extensions.update.enabled": False,
    "extensions.getAddons.cache.enabled": False,
    "extensions.blocklist.enabled": False,
    "browser.safebrowsing.malware.enabled": False,
    "browser.safebrowsing.phishing.enabled": False,
    "browser.safebrowsing.downloads.enabled": False,
    "browser.safebrowsing.blockedURIs.enabled": False,
    "browser.newtabpage.activity-stream.feeds.telemetry": False,
    "browser.newtabpage.activity-stream.telemetry": False,
    "browser.ping-centre.telemetry": False,
    "services.settings.server": "http://127.0.0.1:9/v1",
    "geo.provider.network.url": "",
    "media.gmp-manager.url": "",
    "network.captive-portal-service.enabled": False,
    "network.connectivity-service.enabled": False,
    "network.dns.disablePrefetch": True,
    "network.prefetch-next": False,
    "network.http.speculative-parallel-limit": 0,
    "network.trr.mode": 5,
    # Everything but the loopback (never proxied) goes to a closed port:
    # whatever the settings above missed cannot leave the machine.
    "network.proxy.type": 1,
    "network.proxy.share_proxy_settings": True,
    "network.proxy.http": "127.0.0.1",
    "network.proxy.http_port": 9,
    "network.proxy.ssl": "127.0.0.1",
    "network.proxy.ssl_port": 9,
    "network.proxy.no_proxies_on": "",
    "network.proxy.allow_hijacking_localhost": False,
    # The pages as a Chinese user's browser asks for them.
    "intl.accept_languages": "zh-CN, zh",
}

# Marionette's error names and the Selenium exceptions the waits expect.
ERRORS = {
    "no such element": exceptions.NoSuchElementException,
    "stale element reference": exceptions.StaleElementReferenceException,
    "element not interactable": exceptions.ElementNotInteractableException,
    "element click intercepted": exceptions.ElementClickInterceptedException,
    "javascript error": exceptions.JavascriptException,
    "timeout": exceptions.TimeoutException,
    "script timeout": exceptions.TimeoutException,
    "no such window": exceptions.NoSuchWindowException,
}

# Attributes whose presence Selenium's get_attribute answers as "true".
BOOLEAN_ATTRIBUTES = {"checked", "disabled", "hidden", "multiple", "readonly", "required", "selected"}

# Browser-console entries of the pages that count as faults: script errors
# (warnings have flag 1) and content security policy violations. Runs in
# Firefox's own (chrome) context, where every content process's errors
# arrive, those of a page's loading too.
PAGE_ERRORS_SCRIPT = """
const [origin] = arguments;
return Services.console.getMessageArray()
  .filter((m) => m instanceof Ci.nsIScriptError && !(m.flags & Ci.nsIScriptError.warningFlag))
  .filter((m) => (m.sourceName || "").startsWith(origin))
  .map((m) => m.category + ": " + m.errorMessage + " (" + m.sourceName + ":" + m.lineNumber + ")");
"""


def _user_js(preferences):
    return "".join("user_pref(%s, %s);\n" % (json.dumps(name), json.dumps(value))
                   for name, value in preferences.items())


def _die_with_parent():
    """Runs in the child before exec: Firefox gets SIGKILL should the test
    process die without quitting it (a timeout's kill)."""
    ctypes.CDLL("libc.so.6", use_errno=True).prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG


class MarionetteConnection:
    """The protocol: length-prefixed JSON, `len:[0, id, command, params]`
    out and `len:[1, id, error, result]` back."""

    def __init__(self, port, timeout):
        self.socket = socket.create_connection(("127.0.0.1", port), timeout=timeout)
        self.buffer = b""
        self.last_id = 0
        hello = self.receive()
        if hello.get("marionetteProtocol") != 3:
            raise exceptions.WebDriverException("unexpected Marionette greeting: %r" % hello)

    def call(self, command, parameters=None):
        self.last_id += 1
        data = json.dumps([0, self.last_id, command, parameters or {}]).encode()
        self.socket.sendall(b"%d:%s" % (len(data), data))
        while True:
            kind, answer_id, error, result = self.receive()
            if kind == 1 and answer_id == self.last_id:
                break
        if error:
            raised = ERRORS.get(error.get("error"), exceptions.WebDriverException)
            raise raised("%s: %s" % (command, error.get("message")))
        return result

    def receive(self):
        while b":" not in self.buffer:
            self.read_more()
        length, _, self.buffer = self.buffer.partition(b":")
        length = int(length)
        while len(self.buffer) < length:
            self.read_more()
        message, self.buffer = self.buffer[:length], self.buffer[length:]
        return json.loads(message)

    def read_more(self):
        chunk = self.socket.recv(65536)
        if not chunk:
            raise exceptions.WebDriverException("Firefox closed the Marionette connection")
        self.buffer += chunk

    def close(self):
        self.socket.close()


class Element:
    """An element of the page, as Selenium's WebElement offers it."""

    def __init__(self, session, element_id):
        self.session = session
        self.id = element_id

    def call(self, command, **parameters):
        return self.session.call(command, id=self.id, **parameters)

    def click(self):
        self.call("WebDriver:ElementClick")

    def send_keys(self, *keys):
        self.call("WebDriver:ElementSendKeys", text="".join(keys))

    @property
    def text(self):
        return self.call("WebDriver:GetElementText")["value"]

    @property
    def tag_name(self):
        return self.call("WebDriver:GetElementTagName")["value"]

    def get_dom_attribute(self, name):
        return self.call("WebDriver:GetElementAttribute", name=name)["value"]

    def get_property(self, name):
        return self.call("WebDriver:GetElementProperty", name=name)["value"]

    def get_attribute(self, name):
        """What the user sees for a value, "true" or None for a flag, else
        the attribute, as Selenium answers."""
        if name in ("value", "index"):
            found = self.get_property(name)
            return None if found is None else str(found)
        found = self.get_dom_attribute(name)
        if name in BOOLEAN_ATTRIBUTES:
            return "true" if found is not None else None
        return found

    def is_displayed(self):
        return self.call("WebDriver:IsElementDisplayed")["value"]

    def is_selected(self):
        return self.call("WebDriver:IsElementSelected")["value"]

    def is_enabled(self):
        return self.call("WebDriver:IsElementEnabled")["value"]

    def find_element(self, by, value):
        return self.session.find_element(by, value, within=self)

    def find_elements(self, by, value):
        return self.session.find_elements(by, value, within=self)


class _SwitchTo:
    def __init__(self, session):
        self.session = session

    @property
    def active_element(self):
        return self.session.wrap(self.session.call("WebDriver:GetActiveElement")["value"])


class FirefoxSession:
    """One headless Firefox with one window of the given size; `preferences`
    add to or override the profile's."""

    def __init__(self, width=1366, height=768, preferences=None):
        self.preferences = {**PREFERENCES, **(preferences or {})}
        self.profile = tempfile.mkdtemp(prefix="zorbix-firefox-")
        self.process = None
        self.connection = None
        self.switch_to = _SwitchTo(self)
        try:
            self.start(width, height)
        except BaseException:
            self.quit()
            raise

    # -- starting and ending --------------------------------------------

    def start(self, width, height):
        with open(os.path.join(self.profile, "user.js"), "w") as f:
            f.write(_user_js(self.preferences))
        self.log = open(os.path.join(self.profile, "firefox.log"), "w")
        environment = dict(os.environ, MOZ_CRASHREPORTER_DISABLE="1", MOZ_HEADLESS="1")
        # --remote-allow-system-access lets the session read the browser
        # console (page_errors); the page's own scripts gain nothing by it.
        self.process = subprocess.Popen(
            [FIREFOX, "--headless", "--marionette", "--remote-allow-system-access", "--no-remote",
             "--profile", self.profile, "--width", str(width), "--height", str(height), "about:blank"],
            stdin=subprocess.DEVNULL, stdout=self.log, stderr=subprocess.STDOUT, env=environment,
            start_new_session=True, preexec_fn=_die_with_parent)
        self.connection = self.connect(time.time() + START_TIMEOUT)
        self.connection.call("WebDriver:NewSession", {"capabilities": {"alwaysMatch": {
            "pageLoadStrategy": "normal", "unhandledPromptBehavior": "dismiss"}}})
        self.call("WebDriver:SetWindowRect", width=width, height=height)

    def connect(self, deadline):
        """Waits for Firefox to name its Marionette port, then connects."""
        port_file = os.path.join(self.profile, "MarionetteActivePort")
        while time.time() < deadline:
            if self.process.poll() is not None:
                raise exceptions.WebDriverException("firefox-esr ended at start: " + self.log_text())
            try:
                with open(port_file) as f:
                    return MarionetteConnection(int(f.read().strip()), timeout=START_TIMEOUT)
            except (OSError, ValueError):
                time.sleep(0.1)
        raise exceptions.WebDriverException("firefox-esr opened no Marionette port: " + self.log_text())

    def log_text(self):
        self.log.flush()
        with open(os.path.join(self.profile, "firefox.log"), errors="replace") as f:
            return f.read()[-2000:]

    def quit(self):
        """Asks Firefox to quit, kills it (and what it started) should it
        not end in time, and removes the profile. Safe to call twice."""
        if self.connection:
            try:
                self.connection.call("Marionette:Quit", {"flags": ["eForceQuit"]})
            except (OSError, exceptions.WebDriverException):
                pass
            self.connection.close()
            self.connection = None
        if self.process:
            try:
                self.process.wait(timeout=15)
            except subprocess.TimeoutExpired:
                pass
            try:
                os.killpg(self.process.pid, signal.SIGKILL)
            except (ProcessLookupError, PermissionError):
                pass
            self.process.wait()
            self.process = None
        if getattr(self, "log", None) and not self.log.closed:
            self.log.close()
        shutil.rmtree(self.profile, True)

    # -- what the tests call ------------------------------------------------

    def call(self, command, **parameters):
        return self.connection.call(command, parameters)

    def wrap(self, found):
        """Answers with element references made Elements, at any depth."""
        if isinstance(found, dict):
            if ELEMENT_KEY in found:
                return Element(self, found[ELEMENT_KEY])
            return {key: self.wrap(value) for key, value in found.items()}
        if isinstance(found, list):
            return [self.wrap(item) for item in found]
        return found

    def unwrap(self, argument):
        if isinstance(argument, Element):
            return {ELEMENT_KEY: argument.id}
        if isinstance(argument, (list, tuple)):
            return [self.unwrap(item) for item in argument]
        if isinstance(argument, dict):
            return {key: self.unwrap(value) for key, value in argument.items()}
        return argument

    def get(self, url):
        self.call("WebDriver:Navigate", url=url)

    @property
    def current_url(self):
        return self.call("WebDriver:GetCurrentURL")["value"]

    def find_element(self, by, value, within=None):
        parameters = {"using": by, "value": value}
        if within is not None:
            parameters["element"] = within.id
        return self.wrap(self.call("WebDriver:FindElement", **parameters)["value"])

    def find_elements(self, by, value, within=None):
        parameters = {"using": by, "value": value}
        if within is not None:
            parameters["element"] = within.id
        return self.wrap(self.call("WebDriver:FindElements", **parameters))

    def execute_script(self, script, *args):
        return self.wrap(self.call("WebDriver:ExecuteScript", script=script,
                                   args=self.unwrap(list(args)))["value"])

    def get_screenshot_as_png(self):
        """The visible part of the page, as the user sees it."""
        shot = self.call("WebDriver:TakeScreenshot", full=False, hash=False, scroll=False)["value"]
        return base64.b64decode(shot)

    def page_errors(self, origin):
        """Script errors and content security policy violations of the pages
        from `origin` since Firefox started, loading included."""
        self.call("Marionette:SetContext", value="chrome")
        try:
            return self.call("WebDriver:ExecuteScript", script=PAGE_ERRORS_SCRIPT, args=[origin])["value"]
        finally:
            self.call("Marionette:SetContext", value="content")
