"""The unit's pages in Firefox ESR, driven through its Marionette port: the
unit finds its planned project waiting after the first login and the new
password, fills it in by keyboard, sees the finding of its save beside the
field, mends it and submits; no page has a script error or a content
security policy violation, every page fits a 1366×768 screen, and an Enter
typed before a page's script runs sends nothing."""

import io
import json
import shutil
import struct
import tempfile
import time
import unittest

from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

import pages
from firefox_session import FirefoxSession
from pages import button, field, focused_column, wait, wait_message
from web_support import ServerTestCase, add_unit, add_unit_with_one_time_password, cli, get_values

NUMBER = "201300000401"
ADMIN, ADMIN_PASSWORD = "guan", "管理员的密码2013"
NEW_PASSWORD = "甲单位新密码2013"
PAGES = ["cover", "table_one", "table_two", "table_three", "table_four"]
WIDTH, HEIGHT = 1366, 768


def demo_values():
    """The values of one plausible, rule-abiding project of the batch tool."""
    scratch = tempfile.mkdtemp(prefix="zorbix-web-demo-")
    try:
        cli(scratch, "demo", "1", "--seed", "5")
        return get_values(scratch, cli(scratch, "list").split("\t")[0])
    finally:
        shutil.rmtree(scratch, True)


def plan_workbook(number, name, unit):
    import openpyxl
    book = openpyxl.Workbook()
    book.active.append(["序号", "项目编号", "项目名称", "承担单位", "计划类别", "省级拨款（万元）"])
    book.active.append([1, int(number), name, unit, "科技攻关", 10.0])
    data = io.BytesIO()
    book.save(data)
    return data.getvalue()


def png_size(png):
    """Width and height from a PNG's header."""
    assert png[:8] == b"\x89PNG\r\n\x1a\n", "a PNG"
    return struct.unpack(">II", png[16:24])


# How far the page reaches beyond the window, the sideways scrolling a
# user would need, and the boxes of the shown form page, the findings and
# the bar, in window coordinates.
LAYOUT_SCRIPT = """
const box = (selector) => {
  const node = document.querySelector(selector);
  if (!node || node.hidden || !node.getClientRects().length) return null;
  const r = node.getBoundingClientRect();
  return {left: r.left, right: r.right, top: r.top, bottom: r.bottom};
};
return {
  viewport: document.documentElement.clientWidth,
  scrollWidth: document.documentElement.scrollWidth,
  page: box(".form-page:not([hidden])"),
  findings: box("#findings"),
  bar: box("#bar"),
  list: box("#projects"),
};
"""

# The fields and captions of the shown form page that spill out of it, and
# the captions whose text is cut off: what a user could not read.
SPILLS_SCRIPT = """
const page = document.querySelector(".form-page:not([hidden])");
const outer = page.getBoundingClientRect();
const out = [];
for (const node of page.querySelectorAll(".field, .caption, .picker, .page-button")) {
  const r = node.getBoundingClientRect();
  if (r.left < outer.left - 1 || r.right > outer.right + 1 ||
      r.top < outer.top - 1 || r.bottom > outer.bottom + 1)
    out.push("outside the page: " + (node.dataset.column || node.textContent.trim()));
}
for (const node of page.querySelectorAll(".caption")) {
  if (node.scrollWidth > node.clientWidth + 1 || node.scrollHeight > node.clientHeight + 1)
    out.push("caption cut off: " + node.textContent.trim());
}
return out;
"""


class UnitPagesInFirefox(ServerTestCase):
    def setUp(self):
        super().setUp()
        self.values = demo_values()
        self.values["JB02"] = NUMBER
        cli(self.directory, "account", "add", ADMIN, "--role", "admin", stdin=ADMIN_PASSWORD + "\n")

    def open_firefox(self):
        firefox = FirefoxSession(WIDTH, HEIGHT)
        self.addCleanup(firefox.quit)
        return firefox

    def assert_no_page_errors(self, firefox):
        self.assertEqual(firefox.page_errors(self.server.url), [])

    def plan_the_project(self):
        """The office loads a plan workbook naming the project for 甲单位,
        which makes it a 未填报 shell of that unit."""
        cookie, csrf = self.api_login(ADMIN, ADMIN_PASSWORD)
        workbook = plan_workbook(NUMBER, self.values["JB01"], "甲单位")
        status, body, _ = self.api("POST", "/api/plan", workbook, cookie, csrf)
        self.assertEqual(status, 200, body.decode())

    def stored(self):
        cookie, _ = self.api_login(ADMIN, ADMIN_PASSWORD)
        status, body, _ = self.api("GET", "/api/projects/" + NUMBER, cookie=cookie)
        self.assertEqual(status, 200, body)
        return json.loads(body)

    def test_a_planned_project_filled_in_by_keyboard_mended_and_submitted(self):
        one_time = add_unit_with_one_time_password(self.directory, "jia", "甲单位")
        self.start_server()
        self.plan_the_project()
        f = self.open_firefox()
        pages.login(f, self.server.url, "jia", one_time)
        pages.change_password(f, one_time, NEW_PASSWORD)
        wait(f, lambda f: "/projects.html" in f.current_url)
        planned = wait(f, lambda f: f.find_elements(By.LINK_TEXT, NUMBER))[0]
        self.assertIn("未填报", planned.find_element(By.XPATH, "./ancestor::tr").text)
        planned.click()
        wait(f, lambda f: pages.shown_page(f) == "cover")
        self.assertEqual(f.find_element(By.ID, "state").text, "未填报")

        self.fill_cover_by_enter(f)
        button(f, "下一页").click()
        wait(f, lambda f: pages.shown_page(f) == "table_one")
        self.assertEqual(focused_column(f), "JB21", "下一页 puts the focus where the window does")
        self.fill_table_one(f)
        for page in PAGES[2:]:
            button(f, "下一页").click()
            wait(f, lambda f: pages.shown_page(f) == page)
            self.fill_page(f, page)

        # Saved without the postcode: the finding stands beside its field.
        button(f, "保  存").click()
        wait_message(f, "已保存")
        wait(f, lambda f: "finding" in field(f, "JB24").get_attribute("class"))
        self.assertIn("邮政编码", field(f, "JB24").get_attribute("title"))
        link = f.find_element(By.CSS_SELECTOR, '#findings a[data-column="JB24"]')
        self.assertIn("邮政编码", link.text)
        link.click()
        wait(f, lambda f: pages.shown_page(f) == "table_one" and focused_column(f) == "JB24")

        # Digits only: the letters and the minus sign never arrive.
        f.switch_to.active_element.send_keys("96ab29-10")
        self.assertEqual(pages.value(f, "JB24"), "962910")
        pages.type_into(f, "JB24", self.values["JB24"])
        button(f, "保  存").click()
        wait(f, lambda f: "finding" not in field(f, "JB24").get_attribute("class"))

        button(f, "上  报").click()
        wait(f, lambda f: f.find_element(By.ID, "state").text == "已上报")
        self.assertTrue(field(f, "JB01").get_attribute("readonly"))
        self.assert_no_page_errors(f)

        stored = self.stored()
        self.assertEqual(stored["state"], "已上报")
        for name, text in self.values.items():
            if name != "TBSJ" and name in stored["values"]:
                self.assertEqual(stored["values"][name], text, name)
        self.assertRegex(stored["values"]["TBSJ"], r"^\d{4}-\d\d-\d\d$", "entering 填报时间 writes today")

    def test_every_page_fits_the_screen_without_errors(self):
        add_unit(self.directory, "jia", "甲单位", NEW_PASSWORD)
        self.start_server()
        self.plan_the_project()
        f = self.open_firefox()
        pages.login(f, self.server.url, "jia", NEW_PASSWORD)
        wait(f, lambda f: f.find_elements(By.LINK_TEXT, NUMBER))
        self.assert_fits(f, "the project list", "list")
        self.assert_screenshot_is_the_window(f)

        # 上报 of the empty shell lists every finding of the four rule sets
        # beside the pages: the longest list the unit can see.
        pages.open_project(f, self.server.url, NUMBER, "cover")
        button(f, "上  报").click()
        wait_message(f, "审核")
        wait(f, lambda f: len(f.find_elements(By.CSS_SELECTOR, "#findings:not([hidden]) a")) > 10)
        for page in PAGES:
            wait(f, lambda f: pages.shown_page(f) == page)
            self.assert_fits(f, page, "page", "bar", "findings")
            self.assertEqual(f.execute_script(SPILLS_SCRIPT), [], page)
            button(f, "下一页").click()
        self.assert_screenshot_is_the_window(f)
        self.assert_no_page_errors(f)

    def test_an_enter_before_the_pages_script_runs_sends_nothing(self):
        # Marionette answers while the page a script went to still loads its
        # module scripts, as a slow network lets a user type early. Without
        # scripts at all, the form must keep what was typed to itself.
        self.start_server()
        f = FirefoxSession(WIDTH, HEIGHT, preferences={"javascript.enabled": False})
        self.addCleanup(f.quit)
        f.get(self.server.url + "/")
        f.find_element(By.ID, "name").send_keys("jia")
        f.find_element(By.ID, "password").send_keys(NEW_PASSWORD + Keys.ENTER)
        time.sleep(1)  # time for a navigation that must not come
        self.assertEqual(f.current_url, self.server.url + "/")
        self.assertEqual(f.find_element(By.ID, "password").get_attribute("value"), NEW_PASSWORD)

    def assert_fits(self, f, what, *parts):
        layout = f.execute_script(LAYOUT_SCRIPT)
        self.assertLessEqual(layout["scrollWidth"], layout["viewport"], what + " scrolls sideways")
        self.assertLessEqual(layout["viewport"], WIDTH)
        for part in parts:
            box = layout[part]
            self.assertIsNotNone(box, "%s shows its %s" % (what, part))
            self.assertGreaterEqual(box["left"], 0, "%s: %s" % (what, part))
            self.assertLessEqual(box["right"], layout["viewport"], "%s: %s" % (what, part))

    def assert_screenshot_is_the_window(self, f):
        """What the user sees is the whole 1366 pixels' width of the window."""
        width, height = png_size(f.get_screenshot_as_png())
        self.assertEqual(width, WIDTH)
        self.assertEqual(height, f.execute_script("return window.innerHeight"))

    # -- typing as the unit does -----------------------------------------

    def fill_cover_by_enter(self, f):
        order = pages.page_columns(f, "cover")
        self.assertEqual(order, ["JB01", "JB02", "ZGDW", "XMCDDW", "JB03", "JB04", "JB05", "JB06", "TBSJ"])
        self.assertEqual(pages.value(f, "JB02"), NUMBER)
        planned = {"JB01": self.values["JB01"], "JB02": NUMBER, "XMCDDW": "甲单位"}
        for column, text in planned.items():
            self.assertEqual(pages.value(f, column), text, "the plan's %s stands in the shell" % column)
        self.values["XMCDDW"] = "甲单位"
        field(f, "JB01").click()
        for column, following in zip(order, order[1:]):
            if column not in planned:
                f.switch_to.active_element.send_keys(self.values[column])
            f.switch_to.active_element.send_keys(Keys.ENTER)
            self.assertEqual(focused_column(f), following, "Enter after " + column)
        f.switch_to.active_element.send_keys(Keys.ENTER)
        self.assertEqual(focused_column(f), "TBSJ", "Enter does nothing in 填报时间")

    def fill_table_one(self, f):
        # The region by its picker, the participants' sex by the item's text.
        pages.picker(f, "JB22").select_by_value(self.values["JB22"])
        self.assertEqual(pages.value(f, "JB22"), self.values["JB22"])
        self.assertEqual(focused_column(f), "JB22", "the pick leaves the focus in the field")
        pages.picker(f, "JB421").select_by_visible_text(self.values["JB421"])
        self.assertEqual(pages.value(f, "JB421"), self.values["JB421"])
        self.fill_page(f, "table_one", skip={"JB22", "JB421", "JB24"})

    def fill_page(self, f, page, skip=()):
        for column in pages.page_columns(f, page):
            if column not in skip:
                pages.type_into(f, column, self.values[column])


if __name__ == "__main__":
    unittest.main()
