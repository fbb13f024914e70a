// 审核: the projects the office reviews, those waiting (已上报) first
// shown; each opens its five pages read-only with 退回修改 and 审核通过.
import {call} from "./api.js";
import {el, fill} from "./dom.js";
import {officeSession, reportFailure} from "./office_frame.js";
import {STATES} from "./states.js";

let projects = [];

function row(p) {
  return el("tr", {},
    el("td", {}, el("a", {href: "/project.html?n=" + encodeURIComponent(p.number)}, p.number)),
    el("td", {}, p.name || ""), el("td", {}, p.unit || ""), el("td", {}, p.state || ""),
    el("td", {class: "number"}, p.findings === undefined || p.findings === null ? "" : String(p.findings)),
    el("td", {}, p.last_change || ""));
}

function show() {
  const state = document.getElementById("filter-state").value;
  const unit = document.getElementById("filter-unit").value;
  const chosen = projects.filter((p) => (!state || p.state === state) && (!unit || p.unit === unit));
  fill(document.querySelector("#projects tbody"), chosen.map(row));
  document.getElementById("empty").hidden = chosen.length > 0;
}

async function start() {
  if (!officeSession()) return;
  const wanted = new URLSearchParams(location.search).get("state");
  fill(document.getElementById("filter-state"), el("option", {value: ""}, "全部"),
       STATES.map((s) => el("option", {value: s}, s)));
  document.getElementById("filter-state").value = STATES.includes(wanted) ? wanted : "已上报";
  for (const select of document.querySelectorAll("#filters select")) select.addEventListener("change", show);
  try {
    projects = (await call("GET", "/api/projects")).projects || [];
  } catch (failure) {
    return reportFailure(failure);
  }
  const units = [...new Set(projects.map((p) => p.unit || ""))].sort((a, b) => a.localeCompare(b, "zh-CN"));
  document.getElementById("filter-unit").append(...units.map((u) => el("option", {value: u}, u)));
  show();
}

start();
