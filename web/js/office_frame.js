// What the office's pages share: only a clerk or an administrator stays
// on them, the header names who is logged in and leads to 进度, 审核 and
// 批量, and a call that finds the session ended goes to the login page.
import {isOffice, logout, session, toLogin} from "./api.js";
import {say} from "./dom.js";

// Answers the session, or null when the page is left for the login page
// or the unit's list.
export function officeSession() {
  const kept = session();
  if (!kept || !kept.csrf) {
    toLogin();
    return null;
  }
  if (kept.must_change_password) {
    location.href = "/password.html";
    return null;
  }
  if (!isOffice(kept)) {
    location.href = "/projects.html";
    return null;
  }
  document.getElementById("who").textContent = (kept.role === "admin" ? "管理员 " : "审核员 ") + kept.name;
  document.getElementById("logout").addEventListener("click", logout);
  for (const node of document.querySelectorAll("[data-role=admin]")) node.hidden = kept.role !== "admin";
  return kept;
}

// A failed call: the login page for an ended session, else its message.
export function reportFailure(failure, line) {
  if (failure.status === 401) return toLogin();
  if (line) {
    line.textContent = failure.message;
    line.className = "message error";
  } else {
    say(failure.message);
  }
}
