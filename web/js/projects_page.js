// The unit's project list and 项目添加.
import {call, isOffice, logout, session, toLogin} from "./api.js";
import {el, fill, formReady, say} from "./dom.js";

function projectAddress(number, page) {
  return "/project.html?n=" + encodeURIComponent(number) + (page ? "#" + page : "");
}

function row(project) {
  const link = el("a", {href: projectAddress(project.number)}, project.number);
  const findings = project.findings === undefined || project.findings === null
    ? "" : String(project.findings);
  return el("tr", {},
    el("td", {}, link), el("td", {}, project.name || ""), el("td", {}, project.state || ""),
    el("td", {class: "number"}, findings), el("td", {}, project.last_change || ""));
}

async function showList() {
  const answer = await call("GET", "/api/projects");
  const projects = answer.projects || [];
  fill(document.querySelector("#projects tbody"), projects.map(row));
  document.getElementById("empty").hidden = projects.length > 0;
}

async function addProject(event) {
  event.preventDefault();
  const number = document.getElementById("number").value.trim();
  try {
    await call("POST", "/api/projects", {number});
    location.href = projectAddress(number, "cover");
  } catch (failure) {
    if (failure.status === 401) return toLogin();
    say(failure.message);
  }
}

async function start() {
  const kept = session();
  if (!kept || !kept.csrf) return toLogin();
  if (kept.must_change_password) return (location.href = "/password.html");
  if (isOffice(kept)) return (location.href = "/office.html");
  document.getElementById("who").textContent = (kept.unit || "") + " " + kept.name;
  const add = document.getElementById("add");
  add.addEventListener("submit", addProject);
  formReady(add);
  document.getElementById("logout").addEventListener("click", logout);
  try {
    await showList();
  } catch (failure) {
    if (failure.status === 401) return toLogin();
    say(failure.message);
  }
}

start();
