// The office's long runs (appending exchange files, checking all, the
// summaries, …): one at a time on the server, which answers 409 to a
// second start. While one runs the page shows how far it is, polling
// /api/runs every POLL_MS, and the buttons of that kind stay disabled.
import {call} from "./api.js";

const POLL_MS = 1000;
const CAPTIONS = {
  exchange: "正在导入交换文件", check: "正在全部审核", summaries: "正在生成汇总表",
  reconcile: "正在对照计划", export: "正在导出项目清单", plan: "正在导入计划表",
  units: "正在建立单位账户", backup: "正在备份", restore: "正在恢复备份",
};

let mine = null;        // the kind this page started, while it runs
let serverHasRuns = true;

// The runs the server reports, as [{kind, fraction}].
function runsOf(answer) {
  const raw = answer.runs ?? answer.running ?? answer.run ?? [];
  const list = Array.isArray(raw) ? raw : raw ? [raw] : [];
  return list.map((r) => ({kind: r.kind || r.name || "", fraction: Number(r.fraction)}));
}

function show(runs) {
  const all = mine && !runs.some((r) => r.kind === mine) ? [...runs, {kind: mine, fraction: NaN}] : runs;
  const busy = new Set(all.map((r) => r.kind));
  for (const button of document.querySelectorAll("button[data-run]"))
    button.disabled = busy.has(button.dataset.run);
  const box = document.getElementById("run");
  box.hidden = all.length === 0;
  if (!all.length) return;
  const run = all[0];
  document.getElementById("run-name").textContent = (CAPTIONS[run.kind] || "正在处理") + "……";
  const bar = document.getElementById("run-fraction");
  if (Number.isFinite(run.fraction)) bar.value = run.fraction;
  else bar.removeAttribute("value");
}

export async function pollRuns() {
  if (!serverHasRuns) return show([]);
  try {
    show(runsOf(await call("GET", "/api/runs")));
  } catch (failure) {
    if (failure.status === 404) serverHasRuns = false;
    show([]);
  }
}

// Runs `work` as a long run of `kind`; its buttons are disabled until it ends.
export async function longRun(kind, work) {
  mine = kind;
  show([]);
  const timer = setInterval(pollRuns, POLL_MS);
  try {
    return await work();
  } finally {
    clearInterval(timer);
    mine = null;
    await pollRuns();
  }
}

// Follows runs others started, while the page is open.
export function followRuns() {
  pollRuns();
  setInterval(() => { if (!mine) pollRuns(); }, POLL_MS * 3);
}
