// 进度: how far the units are, for the office. Totals per state, a row
// per unit, the findings, charts, filters and the workbook of the units
// that have not submitted everything. Refreshed every REFRESH_MS so the
// page follows what units and other clerks do meanwhile.
import {call} from "./api.js";
import {drawChart} from "./charts.js";
import {el, fill, say} from "./dom.js";
import {officeSession, reportFailure} from "./office_frame.js";
import {STATES} from "./states.js";

const REFRESH_MS = 10000;

const count = (n) => Number(n) || 0;
const zeroStates = () => Object.fromEntries(STATES.map((s) => [s, 0]));

// The progress from the project list, where the server has no progress
// call: counts by unit and state and findings, without regions or funds.
function fromProjects(projects, filter) {
  const chosen = projects.filter((p) => (!filter.state || p.state === filter.state) &&
                                        (!filter.unit || p.unit === filter.unit));
  const units = new Map();
  for (const p of chosen) {
    const row = units.get(p.unit) || {unit: p.unit || "", states: zeroStates(), findings: 0, with_findings: 0};
    row.states[p.state] = (row.states[p.state] || 0) + 1;
    row.findings += count(p.findings);
    if (count(p.findings) > 0) row.with_findings++;
    units.set(p.unit, row);
  }
  return {
    units: [...units.values()].sort((a, b) => a.unit.localeCompare(b.unit, "zh-CN")),
    choices: {units: [...new Set(projects.map((p) => p.unit || ""))].sort((a, b) => a.localeCompare(b, "zh-CN"))},
    complete: false,
  };
}

// The progress call's answer in the page's terms.
function fromProgress(answer) {
  const units = (answer.units || []).map((u) => ({
    unit: u.unit || "",
    states: {...zeroStates(), ...(u.states || {})},
    // The progress call counts the projects with findings, not the findings.
    findings: null,
    with_findings: count(u.with_findings),
    amount: u.planned_amount,
  }));
  const choices = answer.choices || {};
  return {
    units,
    choices: {units: choices.units || units.map((u) => u.unit), regions: choices.regions, categories: choices.categories},
    per_day: answer.days,
    funds: answer.funds,
    complete: true,
  };
}

function totalsOf(progress) {
  const totals = zeroStates();
  for (const u of progress.units) for (const s of STATES) totals[s] += count(u.states[s]);
  return totals;
}

function filter() {
  const v = (id) => document.getElementById(id).value;
  return {state: v("filter-state"), unit: v("filter-unit"), region: v("filter-region"), category: v("filter-category")};
}

// False once the server answered that it has no progress call; the page
// then counts from the project list until it is loaded again.
let serverHasProgress = true;

async function loadProgress(chosen) {
  const query = new URLSearchParams(Object.entries(chosen).filter(([, v]) => v)).toString();
  if (serverHasProgress) {
    try {
      return fromProgress(await call("GET", "/api/progress" + (query ? "?" + query : "")));
    } catch (failure) {
      if (failure.status !== 404 || !/调用/.test(failure.message)) throw failure;
      serverHasProgress = false;
    }
  }
  return fromProjects((await call("GET", "/api/projects")).projects || [], chosen);
}

// Keeps a filter's choices, and the one chosen, up to date. A choice is a
// name, or {value, text} where the list shows another text than it sends.
function offer(select, choices) {
  const chosen = select.value;
  const wanted = [{value: "", text: "全部"},
                  ...(choices || []).map((c) => (typeof c === "string" ? {value: c, text: c} : c))];
  const present = [...select.options].map((o) => o.value + "\t" + o.textContent);
  if (wanted.map((c) => c.value + "\t" + c.text).join("\n") === present.join("\n")) return;
  fill(select, wanted.map((c) => el("option", {value: c.value}, c.text)));
  select.value = wanted.some((c) => c.value === chosen) ? chosen : "";
}

function showTotals(totals) {
  // Each total leads to 审核's list of the projects in that state. Made
  // once; a refresh changes only the numbers, so a pointer or focus on one
  // stays where it is.
  const box = document.getElementById("totals");
  if (!box.children.length)
    fill(box, STATES.map((s) =>
      el("a", {class: "total", "data-state": s, href: "/review.html?state=" + encodeURIComponent(s)},
         el("span", {class: "state-name"}, s), el("strong"))));
  for (const node of box.children) node.querySelector("strong").textContent = String(totals[node.dataset.state]);
}

// The columns beyond the states: the count of findings only where the
// project list gave it, the planned amount only once a plan is loaded.
function extraColumns(progress) {
  const columns = [{head: "有问题的项目", cell: (u) => String(u.with_findings)}];
  if (progress.units.some((u) => u.findings !== null))
    columns.push({head: "审核问题", cell: (u) => (u.findings === null ? "" : String(u.findings))});
  if (progress.units.some((u) => typeof u.amount === "number"))
    columns.push({head: "计划金额（万元）", cell: (u) => (typeof u.amount === "number" ? String(u.amount) : "")});
  return columns;
}

function unitRow(u, columns) {
  const sum = STATES.reduce((n, s) => n + count(u.states[s]), 0);
  return el("tr", {"data-unit": u.unit},
    el("td", {}, u.unit), STATES.map((s) => el("td", {class: "number"}, String(count(u.states[s])))),
    el("td", {class: "number"}, String(sum)),
    columns.map((c) => el("td", {class: "number"}, c.cell(u))));
}

function showUnits(progress) {
  const columns = extraColumns(progress);
  const heads = ["单位", ...STATES, "合计", ...columns.map((c) => c.head)];
  const head = document.querySelector("#units thead tr");
  if ([...head.children].map((th) => th.textContent).join("\n") !== heads.join("\n"))
    fill(head, heads.map((h) => el("th", {}, h)));
  fill(document.querySelector("#units tbody"), progress.units.map((u) => unitRow(u, columns)));
  const projects = progress.units.reduce((n, u) => n + u.with_findings, 0);
  const counted = progress.units.every((u) => u.findings !== null);
  const findings = progress.units.reduce((n, u) => n + (u.findings || 0), 0);
  document.getElementById("findings-count").textContent =
    "有审核问题的项目 " + projects + " 个" + (counted ? "，审核问题共 " + findings + " 条。" : "。");
}

// A chart of [{name, amount}] lines, hidden while the server gives none.
function showFunds(id, lines) {
  document.getElementById(id).closest("figure").hidden = !Array.isArray(lines);
  if (Array.isArray(lines)) drawChart(document.getElementById(id), "bar", lines.map((f) => f.name),
                                      lines.map((f) => Number(f.amount) || 0), "资金合计（千元）");
}

function showCharts(progress, totals) {
  drawChart(document.getElementById("chart-states"), "doughnut", STATES, STATES.map((s) => totals[s]), "项目");
  const days = Array.isArray(progress.per_day) ? progress.per_day : null;
  document.getElementById("chart-days").closest("figure").hidden = !days;
  if (days) drawChart(document.getElementById("chart-days"), "line", days.map((d) => d.date),
                      days.map((d) => count(d.count)), "上报项目");
  showFunds("chart-funds", progress.funds && progress.funds.by_category);
  showFunds("chart-regions", progress.funds && progress.funds.by_region);
}

async function refresh() {
  const chosen = filter();
  try {
    const progress = await loadProgress(chosen);
    offer(document.getElementById("filter-unit"), progress.choices.units);
    offer(document.getElementById("filter-region"), progress.choices.regions);
    offer(document.getElementById("filter-category"), progress.choices.categories);
    for (const node of document.querySelectorAll("#filters [data-needs]"))
      node.hidden = !progress.complete || (node.dataset.needs !== "missing" && !progress.choices[node.dataset.needs]);
    const totals = totalsOf(progress);
    showTotals(totals);
    showUnits(progress);
    showCharts(progress, totals);
    document.getElementById("refreshed").textContent = "最近刷新：" + new Date().toLocaleTimeString("zh-CN");
    say("", "ok");
  } catch (failure) {
    reportFailure(failure);
  }
}

function start() {
  if (!officeSession()) return;
  fill(document.getElementById("filter-state"), el("option", {value: ""}, "全部"),
       STATES.map((s) => el("option", {value: s}, s)));
  for (const select of document.querySelectorAll("#filters select")) select.addEventListener("change", refresh);
  refresh();
  setInterval(refresh, REFRESH_MS);
}

start();
