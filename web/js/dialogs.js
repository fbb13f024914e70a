// The dialogs of the project page: asking the password again when the
// session has ended, and showing both values when someone else saved first.
import {ApiFailure, login, session} from "./api.js";
import {el, fill} from "./dom.js";

const dialog = () => document.getElementById("dialog");

// Asks for the password again; resolves true once logged in, false when the
// user gives up. The page's typing is left alone meanwhile.
export function relogin(reason) {
  const kept = session();
  return new Promise((resolve) => {
    const name = el("input", {id: "relogin-name", autocomplete: "username", value: kept ? kept.name : ""});
    const password = el("input", {id: "relogin-password", type: "password", autocomplete: "current-password"});
    const message = el("p", {class: "message error", role: "alert"});
    const form = el("form", {method: "dialog", class: "relogin"},
      el("h3", {}, "请重新登录"),
      el("p", {}, reason || "登录已过期。您填写的内容仍保留在页面上，重新登录后将继续保存。"),
      el("label", {}, "账户名", name),
      el("label", {}, "密码", password),
      message,
      el("div", {class: "buttons"},
        el("button", {type: "submit"}, "登  录"),
        el("button", {type: "button", onclick: () => { dialog().close(); resolve(false); }}, "取  消")));
    form.addEventListener("submit", async (event) => {
      event.preventDefault();
      try {
        await login(name.value, password.value);
        dialog().close();
        resolve(true);
      } catch (failure) {
        message.textContent = failure instanceof ApiFailure ? failure.message : failure.message;
      }
    });
    fill(dialog(), form);
    dialog().showModal();
    (name.value ? password : name).focus();
  });
}

// Shows, for each column the user changed, what was typed and what the
// store now holds, with `by` (who changed it and when); resolves "mine"
// (save the typing over the current version), "theirs" (take the store's
// values) or "later".
export function conflict(rows, by) {
  return new Promise((resolve) => {
    const finish = (choice) => { dialog().close(); resolve(choice); };
    const table = el("table", {class: "list conflict"},
      el("thead", {}, el("tr", {}, el("th", {}, "栏目"), el("th", {}, "您填写的"), el("th", {}, "库中现在的"))),
      el("tbody", {}, rows.map((r) => el("tr", {"data-column": r.column},
        el("td", {}, r.caption), el("td", {class: "mine"}, r.mine), el("td", {class: "theirs"}, r.theirs)))));
    fill(dialog(), el("div", {class: "conflict-box"},
      el("h3", {}, "项目已被修改"),
      el("p", {}, (by ? by + "。" : "您打开本项目后，库中的内容已有改动。") + "本次保存未写入，您填写的内容仍保留在页面上。"),
      table,
      el("div", {class: "buttons"},
        el("button", {type: "button", onclick: () => finish("mine")}, "以我填写的为准保存"),
        el("button", {type: "button", onclick: () => finish("theirs")}, "采用库中的内容"),
        el("button", {type: "button", onclick: () => finish("later")}, "暂不处理"))));
    dialog().showModal();
  });
}
