"""How the fields take typing, as the window's fields do: lengths in GBK
bytes, Enter by key class, the results text's quotes, the leaving checks."""

import unittest

from selenium.webdriver.common.keys import Keys

import pages
from pages import button, field, focused_column, wait
from web_support import ServerTestCase, add_unit

NUMBER = "201300000303"
PASSWORD = "甲单位的密码2013"


class FieldRules(ServerTestCase):
    def setUp(self):
        super().setUp()
        add_unit(self.directory, "jia", "甲单位", PASSWORD)
        self.start_server()
        cookie, csrf = self.api_login("jia", PASSWORD)
        self.assertEqual(self.api("POST", "/api/projects", {"number": NUMBER}, cookie, csrf)[0], 201)
        self.d = self.open_browser()
        pages.login(self.d, self.server.url, "jia", PASSWORD)
        wait(self.d, lambda d: "/projects.html" in d.current_url)

    def test_lengths_count_gbk_bytes(self):
        d = self.d
        pages.open_project(d, self.server.url, NUMBER, "cover")
        pages.type_into(d, "JB01", "科" * 41)
        self.assertEqual(pages.value(d, "JB01"), "科" * 40, "80 bytes are 40 Chinese characters")
        pages.type_into(d, "JB03", "王a五b六c七")
        self.assertEqual(pages.value(d, "JB03"), "王a五b六c", "10 bytes, ASCII counting one")
        pages.type_into(d, "JB04", "€李한四€€€€€€")
        self.assertEqual(pages.value(d, "JB04"), "€李四€€€€€", "GBK holds no Hangul; € is one byte")
        pages.open_project(d, self.server.url, NUMBER, "table_one")
        pages.picker(d, "JB471").select_by_visible_text("1.留学归国人员")
        self.assertEqual(pages.value(d, "JB471"), "1.留学归国人员", "the longest item fills its 14 bytes")

    def test_enter_moves_on_only_where_the_window_moves_on(self):
        d = self.d
        pages.open_project(d, self.server.url, NUMBER, "table_two")
        field(d, "JF4101").click()
        d.switch_to.active_element.send_keys("5" + Keys.ENTER)
        self.assertEqual(focused_column(d), "JF4102")
        d.switch_to.active_element.send_keys("7x" + Keys.ENTER)
        self.assertEqual(focused_column(d), "JF4102", "Enter is discarded in JF4102")
        self.assertEqual(pages.value(d, "JF4102"), "7")
        button(d, "下一页").click()
        wait(d, lambda d: pages.shown_page(d) == "table_three" and focused_column(d) == "JL100")

    def test_arrow_keys_move_as_in_the_window(self):
        d = self.d
        pages.open_project(d, self.server.url, NUMBER, "table_one")
        field(d, "JB412").click()
        moves = [(Keys.ARROW_DOWN, "JB413"), (Keys.ARROW_DOWN, "JB51"), (Keys.ARROW_RIGHT, "JB52"),
                 (Keys.ARROW_UP, "JB483"), (Keys.ARROW_LEFT, "JB473")]
        for key, target in moves:
            d.switch_to.active_element.send_keys(key)
            self.assertEqual(focused_column(d), target, key)
        pages.open_project(d, self.server.url, NUMBER, "table_two")
        field(d, "JF1002").click()
        d.switch_to.active_element.send_keys(Keys.ARROW_RIGHT)
        self.assertEqual(focused_column(d), "JF2001", "across the blocks along the screen row")
        d.switch_to.active_element.send_keys(Keys.ARROW_UP)
        self.assertEqual(focused_column(d), "JF2001", "the top row has no Up")

    def test_results_text_takes_single_quotes_and_lines(self):
        d = self.d
        pages.open_project(d, self.server.url, NUMBER, "table_four")
        pages.type_into(d, "JDCG", 'a"b\nc')
        self.assertEqual(pages.value(d, "JDCG"), "a'b\nc")

    def test_filling_date_and_leaving_checks(self):
        d = self.d
        pages.open_project(d, self.server.url, NUMBER, "cover")
        field(d, "TBSJ").click()
        self.assertRegex(pages.value(d, "TBSJ"), r"^\d{4}-\d\d-\d\d$")
        pages.open_project(d, self.server.url, NUMBER, "table_one")
        pages.type_into(d, "JB63_1", "2010")
        pages.type_into(d, "JB81", "1.是")
        pages.type_into(d, "JB82", "2009-10")
        field(d, "JB83").click()
        wait(d, lambda d: "鉴定日期格式或时间有误" in d.find_element("id", "hint-JB82").text)
        pages.type_into(d, "JB82", "2010-01")
        field(d, "JB83").click()
        wait(d, lambda d: not d.find_elements("id", "hint-JB82"))


if __name__ == "__main__":
    unittest.main()
