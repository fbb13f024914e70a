"""A reporting unit in the browser: first login with its one-time password,
a new project filled in on the cover and tables one to four by keyboard,
saved with a finding shown and mended, submitted; another unit cannot
reach it by its address; what the browser entered gives the same exchange
file as the batch tool does for the same values."""

import filecmp
import json
import os
import shutil
import tempfile
import unittest

from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

import pages
from pages import button, field, focused_column, wait, wait_message
from web_support import (ServerTestCase, add_unit, add_unit_with_one_time_password, cli,
                         get_values, set_values)  # noqa: F401

NUMBER = "201300000101"
PAGES = ["cover", "table_one", "table_two", "table_three", "table_four"]


def demo_values():
    """The values of one plausible, rule-abiding project of the batch tool."""
    scratch = tempfile.mkdtemp(prefix="zorbix-web-demo-")
    try:
        cli(scratch, "demo", "1", "--seed", "5")
        return get_values(scratch, cli(scratch, "list").split("\t")[0])
    finally:
        shutil.rmtree(scratch, True)


class UnitFillsInAProject(ServerTestCase):
    def setUp(self):
        super().setUp()
        self.one_time = add_unit_with_one_time_password(self.directory, "jia", "甲单位")
        add_unit(self.directory, "yi", "乙单位", "乙单位的密码2013")
        self.start_server()
        self.values = demo_values()
        self.values["JB02"] = NUMBER

    def test_first_login_new_project_five_pages_save_and_a_finding_mended(self):
        d = self.open_browser()
        pages.login(d, self.server.url, "jia", self.one_time)
        pages.change_password(d, self.one_time, "甲单位新密码2013")
        wait(d, lambda d: "/projects.html" in d.current_url)
        d.find_element(By.ID, "number").send_keys(NUMBER)
        button(d, "项目添加").click()
        wait(d, lambda d: pages.shown_page(d) == "cover")

        self.fill_cover_by_enter(d)
        button(d, "下一页").click()
        wait(d, lambda d: pages.shown_page(d) == "table_one")
        self.assertEqual(focused_column(d), "JB21", "下一页 puts the focus where the window does")
        self.fill_table_one(d)
        for page in PAGES[2:]:
            button(d, "下一页").click()
            wait(d, lambda d: pages.shown_page(d) == page)
            self.fill_page(d, page)

        # Saved without the postcode: the finding stands beside its field.
        button(d, "保  存").click()
        wait_message(d, "已保存")
        wait(d, lambda d: "finding" in field(d, "JB24").get_attribute("class"))
        self.assertIn("邮政编码", field(d, "JB24").get_attribute("title"))
        link = d.find_element(By.CSS_SELECTOR, '#findings a[data-column="JB24"]')
        link.click()
        wait(d, lambda d: pages.shown_page(d) == "table_one" and focused_column(d) == "JB24")

        # Digits only: the letters and the minus sign never arrive.
        pages.type_into(d, "JB24", "96ab29-10")
        self.assertEqual(pages.value(d, "JB24"), "962910")
        pages.type_into(d, "JB24", self.values["JB24"])
        button(d, "保  存").click()
        wait(d, lambda d: "finding" not in field(d, "JB24").get_attribute("class"))

        self.assert_no_console_errors(d)
        self.another_unit_cannot_reach_it()
        downloaded = self.downloaded_exchange_file("jia", "甲单位新密码2013")
        # The batch tool works on the directory once the server has ended.
        self.server.stop()
        stored = self.stored_values()
        for name, text in self.values.items():
            if name not in ("TBSJ", "JB24") and name in stored:
                self.assertEqual(stored[name], text, name)
        self.assertRegex(stored["TBSJ"], r"^\d{4}-\d\d-\d\d$", "entering 填报时间 writes today")

        batch = self.same_exchange_file_as_the_batch_tool(stored)
        if downloaded is not None:
            submitted = os.path.join(batch, "submitted.kj")
            cli(batch, "submit", submitted, "--project", NUMBER)
            with open(submitted, "rb") as f:
                self.assertEqual(downloaded, f.read(),
                                 "下载交换文件 gives the file the batch tool submits")

    def test_submitting_lists_the_findings_each_leading_to_its_field(self):
        self.require_submit_call()
        self.add_project_of("jia", "甲单位新密码2013", first_password=self.one_time,
                            values={n: t for n, t in self.values.items() if n not in ("JB02", "JB24")})
        d = self.open_browser()
        pages.login(d, self.server.url, "jia", "甲单位新密码2013")
        wait(d, lambda d: "/projects.html" in d.current_url)
        pages.open_project(d, self.server.url, NUMBER, "table_four")
        button(d, "上  报").click()
        wait_message(d, "审核问题")
        link = wait(d, lambda d: d.find_element(By.CSS_SELECTOR, '#findings a[data-column="JB24"]'))
        self.assertIn("邮政编码", link.text)
        link.click()
        wait(d, lambda d: pages.shown_page(d) == "table_one" and focused_column(d) == "JB24")
        d.switch_to.active_element.send_keys(self.values["JB24"])
        button(d, "上  报").click()
        wait(d, lambda d: d.find_element(By.ID, "state").text == "已上报")
        self.assertTrue(field(d, "JB01").get_attribute("readonly"))
        self.server.stop()
        self.assertEqual(self.stored_values()["JB24"], self.values["JB24"], "saved before submitting")

    def require_submit_call(self):
        status, body, _ = self.api("POST", "/api/projects/1/submit", {})
        if status == 404 and "没有这个调用" in body.decode():
            self.skipTest("the server has no 上报 call (POST /api/projects/{n}/submit) yet")

    def add_project_of(self, name, password, first_password=None, values=None):
        """Logs in through the API (changing a one-time password), adds the
        project and saves the values into it."""
        cookie, csrf = self.api_login(name, first_password or password)
        if first_password:
            status, body, _ = self.api("POST", "/api/password", {"old": first_password, "new": password},
                                       cookie, csrf)
            self.assertEqual(status, 200, body)
        status, body, _ = self.api("POST", "/api/projects", {"number": NUMBER}, cookie, csrf)
        self.assertEqual(status, 201, body)
        if values:
            status, body, _ = self.api("PUT", "/api/projects/" + NUMBER,
                                       {"version": json.loads(body)["version"], "values": values},
                                       cookie, csrf)
            self.assertEqual(status, 200, body)

    def fill_cover_by_enter(self, d):
        order = pages.page_columns(d, "cover")
        self.assertEqual(order, ["JB01", "JB02", "ZGDW", "XMCDDW", "JB03", "JB04", "JB05", "JB06", "TBSJ"])
        self.assertEqual(pages.value(d, "JB02"), NUMBER)
        field(d, "JB01").click()
        for column, following in zip(order, order[1:]):
            if column != "JB02":
                d.switch_to.active_element.send_keys(self.values[column])
            d.switch_to.active_element.send_keys(Keys.ENTER)
            self.assertEqual(focused_column(d), following, "Enter after " + column)
        d.switch_to.active_element.send_keys(Keys.ENTER)
        self.assertEqual(focused_column(d), "TBSJ", "Enter does nothing in 填报时间")

    def fill_table_one(self, d):
        # The region by its picker, with the window's item texts; the
        # participants' sex by theirs.
        region = pages.picker(d, "JB22")
        items = [o.text for o in region.options]
        self.assertIn(self.values["JB22"], [o.get_attribute("value") for o in region.options])
        self.assertTrue(any(text.endswith(self.values["JB22"]) or self.values["JB22"] in text
                            for text in items) or len(items) > 10)
        region.select_by_value(self.values["JB22"])
        self.assertEqual(pages.value(d, "JB22"), self.values["JB22"])
        self.assertEqual(focused_column(d), "JB22")
        pages.picker(d, "JB421").select_by_visible_text(self.values["JB421"])
        self.assertEqual(pages.value(d, "JB421"), self.values["JB421"])
        skip = {"JB22", "JB421", "JB24"}
        self.fill_page(d, "table_one", skip)

    def fill_page(self, d, page, skip=()):
        for column in pages.page_columns(d, page):
            if column in skip:
                continue
            pages.type_into(d, column, self.values[column])

    def stored_values(self):
        # The office's view of the store, through the batch tool.
        return get_values(self.directory, NUMBER)

    def same_exchange_file_as_the_batch_tool(self, stored):
        batch = tempfile.mkdtemp(prefix="zorbix-web-batch-")
        self.addCleanup(shutil.rmtree, batch, True)
        cli(batch, "add", NUMBER)
        set_values(batch, NUMBER, {**{n: t for n, t in self.values.items() if n != "JB02"},
                                   "TBSJ": stored["TBSJ"]})
        files = []
        for directory in (self.directory, batch):
            out = os.path.join(directory, "distributed")
            os.mkdir(out)
            cli(directory, "distribute", out)
            files.append(os.path.join(out, NUMBER + ".kj"))
        self.assertTrue(filecmp.cmp(files[0], files[1], shallow=False),
                        "the browser's project and the batch tool's give the same exchange file")
        return batch

    def downloaded_exchange_file(self, name, password):
        """The project's exchange file as the page's download link fetches it;
        None while the server has no such call."""
        cookie, _ = self.api_login(name, password)
        status, body, _ = self.api("GET", "/api/projects/%s/exchange" % NUMBER, cookie=cookie)
        if status == 404 and "没有这个调用".encode() in body:
            return None
        self.assertEqual(status, 200, body[:200])
        return body

    def another_unit_cannot_reach_it(self):
        d = self.open_browser()
        pages.login(d, self.server.url, "yi", "乙单位的密码2013")
        wait(d, lambda d: "/projects.html" in d.current_url)
        self.assertNotIn(NUMBER, d.find_element(By.ID, "projects").text)
        pages.open_project(d, self.server.url, NUMBER)
        theirs = wait_message(d, "没有")
        missing = "201399999999"
        pages.open_project(d, self.server.url, missing)
        nothing = wait_message(d, "没有")
        self.assertEqual(theirs.replace(NUMBER, "N"), nothing.replace(missing, "N"))
        self.assertFalse(d.find_elements(By.CSS_SELECTOR, ".form-page"))


if __name__ == "__main__":
    unittest.main()
