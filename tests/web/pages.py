"""Working the pages as a user does: fields by their column name or caption,
buttons by their text, waiting for what the page then shows."""

from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import Select, WebDriverWait

WAIT = 15


def wait(driver, condition, timeout=WAIT):
    return WebDriverWait(driver, timeout, poll_frequency=0.05).until(lambda d: condition(d))


def button(driver, text):
    """The visible button or link of that text (blanks as the page spaces them)."""
    text = " ".join(text.split())

    def found(d):
        for node in d.find_elements(By.XPATH, '//*[self::button or self::a][normalize-space()="%s"]' % text):
            if node.is_displayed():
                return node
        return None
    return wait(driver, found)


def field(driver, column):
    return driver.find_element(By.CSS_SELECTOR, '[data-column="%s"].field' % column)


def picker(driver, column):
    return Select(driver.find_element(By.CSS_SELECTOR, 'select[data-for="%s"]' % column))


def focused_column(driver):
    return driver.switch_to.active_element.get_attribute("data-column")


def message(driver):
    return driver.find_element(By.ID, "message").text


def wait_message(driver, part):
    wait(driver, lambda d: part in message(d))
    return message(driver)


def ready(driver, text):
    """Waits for the form's button to take clicks, as it does once the page's
    script is ready (a browser may report a page the script changed to
    before that)."""
    wait(driver, lambda d: button(d, text).is_enabled())


def login(driver, url, name, password):
    driver.get(url + "/")
    ready(driver, "登  录")
    driver.find_element(By.ID, "name").send_keys(name)
    driver.find_element(By.ID, "password").send_keys(password + Keys.ENTER)


def change_password(driver, old, new):
    wait(driver, lambda d: "/password.html" in d.current_url)
    ready(driver, "确  定")
    driver.find_element(By.ID, "old").send_keys(old)
    driver.find_element(By.ID, "new").send_keys(new)
    driver.find_element(By.ID, "again").send_keys(new + Keys.ENTER)


def open_project(driver, url, number, page="cover"):
    from urllib.parse import quote
    driver.get("%s/project.html?n=%s#%s" % (url, quote(number, safe=""), page))
    wait(driver, lambda d: d.find_elements(By.CSS_SELECTOR, "#page-%s:not([hidden])" % page)
         or message(d))


def page_columns(driver, page):
    """The columns of a page's fields in the page's order."""
    return driver.execute_script(
        "return [...document.querySelectorAll('#page-' + arguments[0] + ' .field')]"
        ".map(f => f.dataset.column)", page)


def shown_page(driver):
    return driver.execute_script(
        "const p = document.querySelector('.form-page:not([hidden])'); return p && p.id.slice(5);")


def type_into(driver, column, text):
    """Clicks into the field, empties it and types the text (line breaks
    as Enter)."""
    node = field(driver, column)
    node.click()
    node.send_keys(Keys.CONTROL, "a")
    node.send_keys(Keys.DELETE)
    parts = text.replace("\r\n", "\n").split("\n")
    for i, part in enumerate(parts):
        if i:
            node.send_keys(Keys.ENTER)
        if part:
            node.send_keys(part)
    return node


def value(driver, column):
    return field(driver, column).get_attribute("value")
