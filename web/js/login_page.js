// 登录: after it, the password change when the one-time password is still
// in use, else the page the user came from, or the project list for a unit
// and the progress page for the office.
import {ApiFailure, backAddress, homeOf, login} from "./api.js";
import {formReady, say} from "./dom.js";

const form = document.getElementById("login");
form.addEventListener("submit", async (event) => {
  event.preventDefault();
  const name = document.getElementById("name").value;
  const password = document.getElementById("password").value;
  try {
    const answer = await login(name, password);
    const next = backAddress(homeOf(answer.role));
    location.href = answer.must_change_password
      ? "/password.html?back=" + encodeURIComponent(next) : next;
  } catch (failure) {
    say(failure instanceof ApiFailure || failure.message ? failure.message : "登录失败。");
  }
});
formReady(form);
document.getElementById("name").focus();
