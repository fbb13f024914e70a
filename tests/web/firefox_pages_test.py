"""The unit's pages in Firefox ESR, driven through its Marionette port: an
Enter typed before a page's script runs sends nothing."""

import time
import unittest

from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

from firefox_session import FirefoxSession
from web_support import ServerTestCase

NEW_PASSWORD = "甲单位新密码2013"
WIDTH, HEIGHT = 1366, 768


class UnitPagesInFirefox(ServerTestCase):
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


if __name__ == "__main__":
    unittest.main()
