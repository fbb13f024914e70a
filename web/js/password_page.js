// 修改密码, forced after a login with a one-time password.
import {backAddress, call, homeOf, keepSession, session, toLogin} from "./api.js";
import {formReady, say} from "./dom.js";

const kept = session();
if (!kept) toLogin();
if (kept && kept.must_change_password) document.getElementById("forced").hidden = false;

const form = document.getElementById("change");
form.addEventListener("submit", async (event) => {
  event.preventDefault();
  const old = document.getElementById("old").value;
  const fresh = document.getElementById("new").value;
  if (fresh !== document.getElementById("again").value) return say("两次输入的新密码不一致。");
  try {
    await call("POST", "/api/password", {old, new: fresh});
    keepSession({...kept, must_change_password: false});
    say("密码已修改。", "ok");
    location.href = backAddress(homeOf(kept.role));
  } catch (failure) {
    if (failure.status === 401) return toLogin();
    say(failure.message);
  }
});
formReady(form);
document.getElementById("old").focus();
