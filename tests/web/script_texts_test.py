"""Script stored in every text a unit or the office can write (a project's
name and a field, the office's comments on a return, the unit's name and the
account's name) stays text on every page that shows it: the unit's list and
form pages and the office's progress and review pages. Each hostile text
would set a marker global if it ran; the marker stays undefined, no alert
opens, and the text is shown as it was typed."""

import json
import unittest

from selenium.common.exceptions import NoAlertPresentException
from selenium.webdriver.common.by import By

import pages
from office_pages_test import demo_values, total
from pages import wait
from web_support import ServerTestCase, add_unit, cli

NUMBER = "201300000301"
MARK = "window.zorbixOwned=1"
NAME_SCRIPT = "<script>%s</script>" % MARK
IMAGE = "<img src=x onerror=%s>" % MARK
UNIT = "<svg onload=%s>单位" % MARK
ACCOUNT = "<b onmouseover=%s>jia</b>" % MARK
COMMENT = "<iframe srcdoc=\"<script>parent.%s</script>\"></iframe>请核实" % MARK
UNIT_PASSWORD = "甲单位的密码2013"
CLERK, CLERK_PASSWORD = "shen", "审核员的密码2013"


class ScriptTexts(ServerTestCase):
    def setUp(self):
        super().setUp()
        add_unit(self.directory, ACCOUNT, UNIT, UNIT_PASSWORD)
        cli(self.directory, "account", "add", CLERK, "--role", "clerk", stdin=CLERK_PASSWORD + "\n")
        self.start_server()
        cookie, csrf = self.api_login(ACCOUNT, UNIT_PASSWORD)
        self.call("POST", "/api/projects", {"number": NUMBER}, cookie, csrf, 201)
        version = self.call("GET", "/api/projects/" + NUMBER, None, cookie, csrf, 200)["version"]
        values = {k: v for k, v in demo_values().items() if k != "JB02"}
        values["JB01"] = NAME_SCRIPT
        self.call("PUT", "/api/projects/" + NUMBER, {"version": version, "values": values},
                  cookie, csrf, 200)
        self.call("POST", "/api/projects/%s/submit" % NUMBER, {}, cookie, csrf, 200)
        cookie, csrf = self.api_login(CLERK, CLERK_PASSWORD)
        self.call("POST", "/api/projects/%s/return" % NUMBER,
                  {"comment": COMMENT, "fields": {"JB01": IMAGE}}, cookie, csrf, 200)

    def call(self, method, path, body, cookie, csrf, expected):
        status, answer, _ = self.api(method, path, body, cookie, csrf)
        self.assertEqual(status, expected, answer)
        return json.loads(answer or b"{}")

    def assert_nothing_ran(self, d, where):
        self.assertEqual(d.execute_script("return typeof window.zorbixOwned"), "undefined", where)
        try:
            alert = d.switch_to.alert
            self.fail("%s opened an alert: %s" % (where, alert.text))
        except NoAlertPresentException:
            pass
        for tag in ("script:not([src])", "img[src='x']", "svg", "iframe", "b[onmouseover]"):
            self.assertFalse(d.find_elements(By.CSS_SELECTOR, "main " + tag),
                             "%s made an element of a stored text: %s" % (where, tag))

    def test_the_units_pages_show_the_texts_as_text(self):
        d = self.open_browser()
        pages.login(d, self.server.url, ACCOUNT, UNIT_PASSWORD)
        wait(d, lambda d: NUMBER in d.find_element(By.ID, "projects").text)
        self.assertIn(NAME_SCRIPT, d.find_element(By.ID, "projects").text)
        self.assertIn(UNIT, d.find_element(By.TAG_NAME, "body").text)
        self.assert_nothing_ran(d, "the list")
        pages.open_project(d, self.server.url, NUMBER)
        comment = wait(d, lambda d: d.find_elements(By.ID, "comment-JB01"))[0]
        self.assertIn(IMAGE, comment.get_attribute("textContent"))
        self.assertIn(COMMENT, d.find_element(By.ID, "comments").text)
        self.assertEqual(pages.value(d, "JB01"), NAME_SCRIPT)
        self.assertIn(NAME_SCRIPT, d.find_element(By.ID, "project-title").text)
        self.assert_nothing_ran(d, "the cover")
        for page in ("table_one", "table_two", "table_three", "table_four"):
            pages.open_project(d, self.server.url, NUMBER, page)
            wait(d, lambda d: pages.shown_page(d) == page)
            self.assertIn(COMMENT, d.find_element(By.ID, "comments").text)
            self.assert_nothing_ran(d, page)
        self.assert_no_console_errors(d)

    def test_the_offices_pages_show_the_texts_as_text(self):
        d = self.open_browser()
        pages.login(d, self.server.url, CLERK, CLERK_PASSWORD)
        wait(d, lambda d: "/office.html" in d.current_url)
        wait(d, lambda d: total(d, "退回修改") == "1")
        wait(d, lambda d: UNIT in d.find_element(By.ID, "units").text)
        self.assert_nothing_ran(d, "the progress page")
        d.get(self.server.url + "/review.html?state=%E9%80%80%E5%9B%9E%E4%BF%AE%E6%94%B9")  # 退回修改
        wait(d, lambda d: d.find_elements(By.LINK_TEXT, NUMBER))
        self.assertIn(NAME_SCRIPT, d.find_element(By.TAG_NAME, "body").text)
        self.assert_nothing_ran(d, "the review list")
        d.find_element(By.LINK_TEXT, NUMBER).click()
        wait(d, lambda d: pages.shown_page(d) == "cover")
        wait(d, lambda d: COMMENT in d.find_element(By.ID, "comments").text)
        self.assertEqual(pages.value(d, "JB01"), NAME_SCRIPT)
        self.assert_nothing_ran(d, "the review of the project")
        self.assert_no_console_errors(d)


if __name__ == "__main__":
    unittest.main()
