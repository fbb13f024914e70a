"""The office in the browser: a clerk follows the units' progress, reviews a
submitted project read-only, returns it with a comment on a field, which
the unit then sees beside that field, mends and submits again; the clerk
sees the changed field and approves. The whole survey's loop starts from the
plan workbook and the units' accounts and ends with the summaries the page
downloads, equal to the batch tool's."""

import io
import json
import os
import shutil
import tempfile
import time
import unittest
import zipfile

from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import Select

import pages
from pages import button, field, wait, wait_message
from web_support import PROGRAM, ServerTestCase, add_unit, cli, get_values

NUMBER = "201300000201"
CLERK, CLERK_PASSWORD = "shen", "审核员的密码2013"
ADMIN, ADMIN_PASSWORD = "guan", "管理员的密码2013"
UNIT_PASSWORD = "甲单位的密码2013"


def demo_values():
    """The values of one plausible, rule-abiding project of the batch tool."""
    scratch = tempfile.mkdtemp(prefix="zorbix-web-demo-")
    try:
        cli(scratch, "demo", "1", "--seed", "5")
        return get_values(scratch, cli(scratch, "list").split("\t")[0])
    finally:
        shutil.rmtree(scratch, True)


def total(driver, state):
    """The count the progress page shows for a state; None before it shows
    any. Read in one step, as the page refreshes it meanwhile."""
    return driver.execute_script(
        "const n = document.querySelector('.total[data-state=\"' + arguments[0] + '\"] strong');"
        "return n && n.textContent ? n.textContent : null;", state)


class OfficeReviews(ServerTestCase):
    def setUp(self):
        super().setUp()
        cli(self.directory, "account", "add", CLERK, "--role", "clerk", stdin=CLERK_PASSWORD + "\n")
        cli(self.directory, "account", "add", ADMIN, "--role", "admin", stdin=ADMIN_PASSWORD + "\n")
        self.values = demo_values()
        self.values["JB02"] = NUMBER

    # -- calls as a script makes them ------------------------------------

    def as_unit(self, name, password):
        self.unit_cookie, self.unit_csrf = self.api_login(name, password)

    def unit_call(self, method, path, body=None):
        status, answer, _ = self.api(method, path, body, cookie=self.unit_cookie, csrf=self.unit_csrf)
        return status, json.loads(answer or b"{}")

    def fill_in_and_submit(self):
        """The unit fills in its project with a demo project's values and
        submits it."""
        status, project = self.unit_call("GET", "/api/projects/" + NUMBER)
        self.assertEqual(status, 200, project)
        values = {k: v for k, v in self.values.items() if k != "JB02"}
        status, saved = self.unit_call("PUT", "/api/projects/" + NUMBER,
                                       {"version": project["version"], "values": values})
        self.assertEqual(status, 200, saved)
        status, submitted = self.unit_call("POST", "/api/projects/%s/submit" % NUMBER, {})
        self.assertEqual(status, 200, submitted)

    def stored(self):
        cookie, _ = self.api_login(CLERK, CLERK_PASSWORD)
        status, body, _ = self.api("GET", "/api/projects/" + NUMBER, cookie=cookie)
        self.assertEqual(status, 200, body)
        return json.loads(body)

    def require_call(self, method, path, steps):
        """Skips the rest of the test while the server lacks the call."""
        if not self.has_call(method, path):
            self.skipTest("the server has no %s %s call yet; left: %s" % (method, path, steps))

    def calls_not_there(self):
        """The office's calls the pages look for that the server has not yet;
        the pages then make do with the project list."""
        return [path for path in ("/api/progress", "/api/runs", "/api/backups")
                if not self.has_call("GET", path)]

    def has_call(self, method, path):
        """False while the server answers the call as unknown."""
        cookie, csrf = self.api_login(ADMIN, ADMIN_PASSWORD)
        status, body, _ = self.api(method, path, cookie=cookie, csrf=csrf)
        return not (status == 404 and "没有这个调用".encode() in body)

    # -- what the office does on its pages -------------------------------

    def office_logs_in(self, name=CLERK, password=CLERK_PASSWORD):
        d = self.open_browser()
        pages.login(d, self.server.url, name, password)
        wait(d, lambda d: "/office.html" in d.current_url)
        wait(d, lambda d: total(d, "已上报") is not None)
        return d

    def open_from_the_review_list(self, d):
        """The project from 审核's list, which shows the submitted ones."""
        d.get(self.server.url + "/review.html")
        wait(d, lambda d: d.find_elements(By.LINK_TEXT, NUMBER))
        d.find_element(By.LINK_TEXT, NUMBER).click()
        wait(d, lambda d: pages.shown_page(d) == "cover")

    def return_with_a_field_comment(self, d):
        self.open_from_the_review_list(d)
        self.assertEqual(field(d, "JB03").get_attribute("readonly"), "true", "the office only reads")
        self.assertFalse(d.find_element(By.ID, "save").is_displayed(), "nothing to save")
        field(d, "JB03").click()
        wait(d, lambda d: "JB03" in d.find_element(By.ID, "comment-for").text)
        d.find_element(By.ID, "field-comment").send_keys("负责人与任务书不符")
        d.find_element(By.ID, "return-comment").send_keys("请核对项目负责人")
        button(d, "退回修改").click()
        wait_message(d, "已退回修改")
        stored = self.stored()
        self.assertEqual(stored["state"], "退回修改")
        self.assertEqual(stored["comments"]["project"], "请核对项目负责人")
        self.assertEqual(stored["comments"]["fields"], {"JB03": "负责人与任务书不符"})

    def unit_mends_and_submits(self, name, password):
        d = self.open_browser()
        pages.login(d, self.server.url, name, password)
        wait(d, lambda d: "/projects.html" in d.current_url)
        d.get(self.server.url + "/office.html")
        wait(d, lambda d: "/projects.html" in d.current_url)  # the office's pages are not a unit's
        pages.open_project(d, self.server.url, NUMBER)
        comment = wait(d, lambda d: d.find_elements(By.ID, "comment-JB03"))[0]
        self.assertFalse(comment.is_displayed(), "the comment hides no field while its own is left")
        field(d, "JB03").click()
        self.assertTrue(comment.is_displayed(), "the comment stands beside its field")
        self.assertIn("负责人与任务书不符", comment.text)
        self.assertIn("请核对项目负责人", d.find_element(By.ID, "comments").text)
        pages.type_into(d, "JB03", "李四")
        button(d, "上  报").click()
        wait_message(d, "已上报")
        d.quit()

    def approve_the_changed_field(self, d):
        self.open_from_the_review_list(d)
        wait(d, lambda d: "changed" in field(d, "JB03").get_attribute("class"))
        changed = [f.get_attribute("data-column") for f in d.find_elements(By.CSS_SELECTOR, ".field.changed")]
        self.assertEqual(changed, ["JB03"])
        self.assertIn("JB03", d.find_element(By.ID, "changed").get_attribute("innerHTML"))
        self.assertIn("负责人与任务书不符", d.find_element(By.ID, "comments").text,
                      "the clerk sees what the return asked for")
        button(d, "审核通过").click()
        wait_message(d, "已审核通过")
        self.assertEqual(self.stored()["state"], "已审核")

    # -- the cases --------------------------------------------------------

    def test_a_return_with_a_field_comment_then_approval(self):
        add_unit(self.directory, "jia", "甲单位", UNIT_PASSWORD)
        self.start_server()
        self.as_unit("jia", UNIT_PASSWORD)
        self.assertEqual(self.unit_call("POST", "/api/projects", {"number": NUMBER})[0], 201)
        self.fill_in_and_submit()

        watcher = self.office_logs_in(ADMIN, ADMIN_PASSWORD)
        wait(watcher, lambda d: total(d, "已上报") == "1")
        self.assertIn("甲单位", watcher.find_element(By.ID, "units").text)

        d = self.office_logs_in()
        self.return_with_a_field_comment(d)
        self.unit_mends_and_submits("jia", UNIT_PASSWORD)
        self.approve_the_changed_field(d)
        self.assertEqual(self.stored()["values"]["JB03"], "李四")

        # The progress page follows the approval without a reload.
        wait(watcher, lambda d: total(d, "已审核") == "1", timeout=25)
        self.assertEqual(total(watcher, "已上报"), "0")
        watcher.find_element(By.CSS_SELECTOR, '.total[data-state="已审核"]').click()
        wait(watcher, lambda d: d.find_elements(By.LINK_TEXT, NUMBER))
        self.assertIn("/review.html", watcher.current_url)
        self.assert_no_console_errors(watcher, self.calls_not_there())
        self.assert_no_console_errors(d, self.calls_not_there())

    def test_a_region_narrows_the_counts_and_the_charts_are_drawn(self):
        cli(self.directory, "demo", "12", "--seed", "3")
        regions = [get_values(self.directory, n.split("\t")[0])["JB22"]
                   for n in cli(self.directory, "list").splitlines() if n]
        self.start_server()
        d = self.office_logs_in()
        wait(d, lambda d: total(d, "未填报") == str(len(regions)))
        # Every chart drawn by Chart.js, funds by plan category and by region among them.
        for canvas in ("chart-states", "chart-days", "chart-funds", "chart-regions"):
            wait(d, lambda d: d.execute_script(
                "const c = document.getElementById(arguments[0]);"
                "return !c.closest('figure').hidden && !!window.Chart.getChart(c);", canvas))
        bars = d.execute_script("return window.Chart.getChart(document.getElementById('chart-regions'))"
                                ".data.labels.length;")
        self.assertGreaterEqual(bars, 18, "a bar for each of the region picker's items")
        region = Select(d.find_element(By.ID, "filter-region"))
        chosen = next(o for o in region.options if o.get_attribute("value") and
                      regions[0].startswith(o.get_attribute("value")))
        expected = sum(1 for code in regions if code.startswith(chosen.get_attribute("value")))
        self.assertLess(expected, len(regions), "the demo projects lie in several regions")
        region.select_by_value(chosen.get_attribute("value"))
        wait(d, lambda d: total(d, "未填报") == str(expected))
        # The choice stays over the page's own refresh.
        time.sleep(11)
        self.assertEqual(total(d, "未填报"), str(expected))
        self.assertEqual(region.first_selected_option.get_attribute("value"), chosen.get_attribute("value"))
        self.assert_no_console_errors(d)

    def test_the_whole_loop_from_the_plan_to_the_summaries(self):
        for name in os.listdir(PROGRAM):
            if name.endswith(".xlsx"):
                shutil.copy(os.path.join(PROGRAM, name), self.directory)
        self.start_server()
        self.require_call("POST", "/api/plan", "the whole loop")
        self.downloads = tempfile.mkdtemp(prefix="zorbix-web-downloads-")
        self.addCleanup(shutil.rmtree, self.downloads, True)

        d = self.office_logs_in(ADMIN, ADMIN_PASSWORD)
        d.execute_cdp_cmd("Browser.setDownloadBehavior", {"behavior": "allow", "downloadPath": self.downloads})
        d.get(self.server.url + "/batch.html")
        d.find_element(By.ID, "plan-file").send_keys(self.plan_workbook())
        button(d, "导入计划表").click()
        wait_message(d, "计划表已导入")
        result = d.find_element(By.ID, "plan-result").text
        self.assertIn("新建的计划项目：1", result)
        self.assertIn("甲单位", result, "a unit without an account")
        self.assertEqual(self.stored()["state"], "未填报")

        self.require_call("POST", "/api/units", "the units' accounts, the unit's part and the summaries")

        d.find_element(By.ID, "units-file").send_keys(self.units_workbook())
        button(d, "建立账户并下载密码表").click()
        wait_message(d, "单位账户已建立")
        one_time = self.one_time_password("jia")

        u = self.open_browser()
        pages.login(u, self.server.url, "jia", one_time)
        pages.change_password(u, one_time, UNIT_PASSWORD)
        wait(u, lambda u: "/projects.html" in u.current_url)
        waiting = wait(u, lambda u: u.find_elements(By.LINK_TEXT, NUMBER))[0]
        self.assertIn("未填报", waiting.find_element(By.XPATH, "./ancestor::tr").text)
        u.quit()
        self.as_unit("jia", UNIT_PASSWORD)
        self.fill_in_and_submit()

        self.return_with_a_field_comment(d)
        self.unit_mends_and_submits("jia", UNIT_PASSWORD)
        self.approve_the_changed_field(d)

        self.require_call("GET", "/api/summaries", "the summaries")
        d.get(self.server.url + "/batch.html")
        button(d, "下载汇总表").click()
        wait_message(d, "已下载")
        archive = wait(d, lambda d: [f for f in os.listdir(self.downloads) if f.endswith(".zip")])[0]
        self.assert_same_summaries(os.path.join(self.downloads, archive))

    def test_exchange_files_then_check_all_leads_to_a_finding(self):
        self.start_server()
        missing = [path for path in ("/api/exchange", "/api/check") if not self.has_call("POST", path)]
        if missing:
            self.skipTest("the server has no %s call yet" % ", ".join(missing))
        files, number = self.exchange_files_one_with_a_finding()
        d = self.office_logs_in()
        d.get(self.server.url + "/batch.html")
        d.find_element(By.ID, "exchange-files").send_keys("\n".join(files))
        button(d, "导入交换文件").click()
        wait_message(d, "交换文件已导入")
        self.assertIn("新增：2", d.find_element(By.ID, "exchange-result").text)

        button(d, "全部审核").click()
        wait_message(d, "全部审核完成")
        self.assertTrue(d.find_element(By.ID, "check-panel").text)
        link = d.find_element(By.CSS_SELECTOR, '#check-findings a[data-number="%s"][data-column="JB24"]' % number)
        link.click()
        wait(d, lambda d: pages.focused_column(d) == "JB24")
        self.assertEqual(pages.shown_page(d), "table_one")

    def exchange_files_one_with_a_finding(self):
        """Two projects' exchange files; the first's postcode is too short."""
        scratch = tempfile.mkdtemp(prefix="zorbix-web-exchange-")
        self.addCleanup(shutil.rmtree, scratch, True)
        cli(scratch, "demo", "2", "--seed", "7")
        number = cli(scratch, "list").splitlines()[0].split("\t")[0]
        cli(scratch, "set", number, "JB24=1")
        out = os.path.join(scratch, "out")
        os.mkdir(out)
        cli(scratch, "distribute", out)
        return sorted(os.path.join(out, f) for f in os.listdir(out) if f.endswith(".kj")), number

    # -- workbooks --------------------------------------------------------

    def plan_workbook(self):
        import openpyxl
        book = openpyxl.Workbook()
        sheet = book.active
        sheet.append(["序号", "项目编号", "项目名称", "承担单位", "计划类别", "省级拨款（万元）"])
        sheet.append([1, int(NUMBER), self.values.get("JB01", ""), "甲单位", "科技攻关",
                      float(self.values.get("JF1102") or 0)])
        path = os.path.join(self.directory, "计划.xlsx")
        book.save(path)
        return path

    def units_workbook(self):
        import openpyxl
        book = openpyxl.Workbook()
        book.active.append(["单位名称", "登录名"])
        book.active.append(["甲单位", "jia"])
        path = os.path.join(self.directory, "单位.xlsx")
        book.save(path)
        return path

    def one_time_password(self, name):
        """The password the downloaded passwords workbook gives the account."""
        import openpyxl
        found = wait(None, lambda _: [f for f in os.listdir(self.downloads) if f.endswith(".xlsx")
                                      and not f.endswith(".crdownload")])
        rows = list(openpyxl.load_workbook(os.path.join(self.downloads, found[0])).active
                    .iter_rows(values_only=True))
        login, password = rows[0].index("登录名"), rows[0].index("一次性密码")
        for row in rows[1:]:
            if row[login] == name:
                return row[password]
        raise AssertionError("no password for %s in the passwords workbook" % name)

    def assert_same_summaries(self, archive):
        """Each workbook of the zip is the batch tool's, byte for byte, made
        on the same store once the server has let it go."""
        import openpyxl
        time.sleep(0.5)
        self.server.stop()
        cli(self.directory, "summarize")
        with zipfile.ZipFile(archive) as z:
            names = [n for n in z.namelist() if n.endswith(".xlsx")]
            self.assertEqual(len(names), 12)
            for name in names:
                with open(os.path.join(self.directory, os.path.basename(name)), "rb") as batch:
                    self.assertEqual(z.read(name), batch.read(), name)
                ours = openpyxl.load_workbook(io.BytesIO(z.read(name)))
                self.assertTrue(any(cell is not None for sheet in ours.worksheets
                                    for row in sheet.iter_rows(values_only=True) for cell in row), name)

if __name__ == "__main__":
    unittest.main()
