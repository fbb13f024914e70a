// 批量: the office's work on many projects at once — appending exchange
// files, checking all, the summaries, the plan and its reconciliation, the
// project list, and for the administrator the units' accounts and backups.
import {call, saveBlob, send} from "./api.js";
import {el, fill, say} from "./dom.js";
import {followRuns, longRun} from "./long_run.js";
import {officeSession, reportFailure} from "./office_frame.js";

const byId = (id) => document.getElementById(id);
let role = "";

// A result list's item: a number, or an object naming a project and more.
function describe(item) {
  if (item === null || typeof item !== "object") return String(item);
  const columns = Array.isArray(item.columns) ? "（" + item.columns.join("、") + "）" : "";
  return (item.number || item.name || item.unit || "") + (item.text ? "：" + item.text : "") + columns;
}

// Shows the keys of `answer` named in `captions` ({key: caption}): a
// count, or a count and the list.
function showResult(node, answer, captions) {
  fill(node, Object.entries(captions).filter(([key]) => key in answer).map(([key, caption]) => {
    const value = answer[key];
    const list = Array.isArray(value) ? value : null;
    return el("div", {class: "result-line", "data-key": key},
      el("b", {}, caption + "：" + (list ? list.length : String(value))),
      list && list.length ? el("ul", {}, list.map((item) => el("li", {}, describe(item)))) : null);
  }));
}

// Runs a long call; answers its result, or null after saying why not.
async function attempt(kind, work) {
  say("", "ok");
  try {
    return await longRun(kind, work);
  } catch (failure) {
    if (failure.status === 409) say(failure.message || "已有同类工作正在进行，请稍后再试。");
    else reportFailure(failure);
    return null;
  }
}

// Appends the chosen files one after the other; each answers
// {added: [number], skipped: n, identical: n, differing: [{number, columns}]}.
async function appendExchangeFiles() {
  const files = [...byId("exchange-files").files];
  if (!files.length) return say("请先选择交换文件。");
  const total = {added: [], skipped: 0, identical: 0, differing: []};
  const done = await attempt("exchange", async () => {
    for (const file of files) {
      const {json} = await send("POST", "/api/exchange", file);
      total.added.push(...(json.added || []));
      total.skipped += Number(json.skipped) || 0;
      total.identical += Number(json.identical) || 0;
      total.differing.push(...(json.differing || []));
    }
    return true;
  });
  if (!done) return;
  showResult(byId("exchange-result"), total,
             {added: "新增", skipped: "跳过（库中已有）", identical: "其中与库中相同", differing: "与库中不同"});
  say("交换文件已导入。", "ok");
}

function findingLink(finding) {
  const address = "/project.html?n=" + encodeURIComponent(finding.number || "") +
    (finding.column ? "&column=" + encodeURIComponent(finding.column) : "") + "#" + (finding.page || "cover");
  return el("li", {}, el("a", {href: address, class: "finding-link", "data-number": finding.number || "",
                               "data-column": finding.column || ""},
                         (finding.number || "") + "　", finding.text || ""));
}

async function checkAll() {
  const answer = await attempt("check", async () => (await send("POST", "/api/check")).json);
  if (!answer) return;
  byId("check-panel").hidden = false;
  byId("check-panel").textContent = answer.panel;
  fill(byId("check-findings"), (answer.findings || []).map(findingLink));
  say("全部审核完成。", "ok");
}

async function download(kind, path, name) {
  const answer = await attempt(kind, () => send("GET", path, undefined, name));
  if (!answer) return;
  if (answer.blob) {
    saveBlob(answer.blob, answer.name || name);
    say("已下载" + (answer.name || name) + "。", "ok");
  }
}

async function loadPlan() {
  const file = byId("plan-file").files[0];
  if (!file) return say("请先选择计划表。");
  const answer = await attempt("plan", async () => (await send("POST", "/api/plan", file)).json);
  if (!answer) return;
  showResult(byId("plan-result"), answer,
             {planned: "计划项目", added: "新建的计划项目", already: "库中已有的项目",
              units_without_account: "尚无账户的单位"});
  say("计划表已导入。", "ok");
}

const RECONCILE_COLUMNS = [
  ["kind", "类别"], ["number", "项目编号"], ["name", "项目名称"], ["unit", "承担单位"],
  ["department", "处室"], ["planned_amount", "计划金额（万元）"], ["reported_amount", "填报金额（千元）"],
];

// The reconciliation's findings ({findings: [{kind, number, …}]}) as a table.
function showReconcile(answer) {
  const rows = answer.findings || [];
  fill(byId("reconcile-result"), rows.length === 0 ? el("p", {class: "note"}, "没有对照结果：计划与库中一致。") :
    el("table", {class: "list"},
       el("thead", {}, el("tr", {}, RECONCILE_COLUMNS.map(([, caption]) => el("th", {}, caption)))),
       el("tbody", {}, rows.map((r) => el("tr", {}, RECONCILE_COLUMNS.map(([key]) =>
         el("td", {}, r[key] === null || r[key] === undefined ? "" : String(r[key]))))))));
}

async function reconcile() {
  const answer = await attempt("reconcile", async () => (await send("GET", "/api/reconcile")).json);
  if (answer) showReconcile(answer);
}

async function makeAccounts() {
  const file = byId("units-file").files[0];
  if (!file) return say("请先选择单位表。");
  const answer = await attempt("units", () => send("POST", "/api/units", file, "单位账户密码.xlsx"));
  if (!answer) return;
  if (answer.json) return showResult(byId("units-result"), answer.json, {added: "新建账户", skipped: "跳过"});
  saveBlob(answer.blob, answer.name || "单位账户密码.xlsx");
  byId("units-result").textContent = "账户已建立，密码表已下载。请将一次性密码分别交给各单位。";
  say("单位账户已建立。", "ok");
}

async function showBackups() {
  let answer;
  try {
    answer = await call("GET", "/api/backups");
  } catch (failure) {
    reportFailure(failure);
    return;
  }
  fill(byId("backups").querySelector("tbody"), (answer.backups || []).map((b) => {
    const name = b.name;
    const restore = el("button", {type: "button", "data-run": "restore"}, "恢复");
    restore.addEventListener("click", () => restoreBackup(name));
    return el("tr", {}, el("td", {}, name), el("td", {}, b.time || ""),
              el("td", {class: "number"}, typeof b.size === "number" ? Math.ceil(b.size / 1024) + " KB" : ""), el("td", {}, restore));
  }));
}

async function makeBackup() {
  const answer = await attempt("backup", () => call("POST", "/api/backups", {}));
  if (answer) say(answer.message || "备份已完成。", "ok");
  showBackups();
}

async function restoreBackup(name) {
  if (!confirm("将库恢复为备份“" + name + "”？此后的修改将全部丢失。")) return;
  const path = "/api/backups/" + encodeURIComponent(name) + "/restore";
  const answer = await attempt("restore", () => call("POST", path, {}));
  if (answer) say(answer.message || "已恢复为备份“" + name + "”。", "ok");
  showBackups();
}

function start() {
  const kept = officeSession();
  if (!kept) return;
  role = kept.role;
  const on = (id, go) => byId(id).addEventListener("click", go);
  on("exchange", appendExchangeFiles);
  on("check", checkAll);
  on("summaries", () => download("summaries", "/api/summaries", "汇总表.zip"));
  on("export", () => download("export", "/api/export", "项目清单.xlsx"));
  on("plan", loadPlan);
  on("reconcile", reconcile);
  on("reconcile-workbook", () => download("reconcile", "/api/reconcile.xlsx", "对照表.xlsx"));
  if (role === "admin") {
    on("units", makeAccounts);
    on("backup", makeBackup);
    showBackups();
  }
  followRuns();
}

start();
