// One project's cover and tables one to four: loading, 保存 with its
// findings beside the fields, 上报, the downloads, and saving that never
// loses the typing (changed meanwhile, session ended, network down). The
// office sees the same pages read-only, with its review beside them; a
// unit sees the office's comments of a return beside their fields.
import {ApiFailure, NetworkFailure, call, isOffice, projectPath, session, toLogin} from "./api.js";
import {el, fill, say} from "./dom.js";
import {conflict, relogin} from "./dialogs.js";
import {buildPages} from "./form_view.js";
import {ReviewPanel} from "./review_panel.js";
import {showComments} from "./review_marks.js";

const EDITABLE = new Set(["未填报", "填报中", "退回修改"]);
const number = new URLSearchParams(location.search).get("n") || "";
const office = isOffice();

// The stored form of a field's text: the results text keeps CR LF.
const stored = (column, text) => column.kind === "multi_line_text" ? text.replace(/\r?\n/g, "\r\n") : text;
const shown = (column, text) => column.kind === "multi_line_text" ? text.replace(/\r\n/g, "\n") : text;

class ProjectForm {
  constructor(catalogue) {
    this.catalogue = catalogue;
    this.columns = new Map(catalogue.columns.map((c) => [c.name, c]));
    this.fields = new Map();    // column → {field, column, show, page}
    this.captions = new Map();  // column → caption element
    this.baseline = {};         // the values as last loaded or saved
    this.version = 0;
    this.state = "";
    this.findings = [];
    this.readOnly = office;     // the office reviews; it never types here
  }

  value(name) {
    const entry = this.fields.get(name);
    return entry ? stored(entry.column, entry.field.value) : this.baseline[name] || "";
  }

  changedValues() {
    const values = {};
    for (const [name, entry] of this.fields)
      if (!entry.field.readOnly && this.value(name) !== (this.baseline[name] || "")) values[name] = this.value(name);
    return values;
  }

  changed() {
    document.getElementById("save").classList.toggle("pending", Object.keys(this.changedValues()).length > 0);
  }

  show(values) {
    for (const [name, entry] of this.fields) entry.show(shown(entry.column, values[name] || ""));
    this.changed();
  }

  setState(state) {
    this.state = state;
    document.getElementById("state").textContent = state;
    const editable = !this.readOnly && EDITABLE.has(state);
    for (const [name, entry] of this.fields) entry.field.readOnly = !editable || name === "JB02";
    for (const select of document.querySelectorAll("select.picker")) select.disabled = !editable;
    document.getElementById("save").disabled = !editable;
    document.getElementById("submit").disabled = !editable;
  }

  currentPage() {
    return [...document.querySelectorAll(".form-page")].find((p) => !p.hidden)?.id.slice(5);
  }

  go(page, column) {
    for (const node of document.querySelectorAll(".form-page")) node.hidden = node.id !== "page-" + page;
    if (location.hash !== "#" + page) history.replaceState(null, "", "#" + page);
    const entry = column && this.fields.get(column);
    if (entry) entry.field.focus();
  }

  close() { location.href = office ? "/review.html" : "/projects.html"; }

  // The window's leaving checks, shown beside the field.
  markLeaving(column, problem) {
    const entry = this.fields.get(column);
    entry.field.classList.toggle("leaving", Boolean(problem));
    let hint = document.getElementById("hint-" + column);
    if (!problem) return hint && hint.remove();
    if (!hint) {
      hint = el("div", {class: "hint", id: "hint-" + column, role: "alert"});
      hint.style.left = entry.field.style.left;
      hint.style.top = (parseInt(entry.field.style.top, 10) + parseInt(entry.field.style.height, 10)) + "px";
      entry.field.parentNode.append(hint);
    }
    hint.textContent = problem;
  }

  // Findings beside their fields and in the list; `pages` are the pages
  // whose earlier findings the new ones replace (null: all).
  showFindings(findings, pages) {
    this.findings = this.findings.filter((f) => pages && !pages.has(f.page)).concat(findings);
    for (const [name, entry] of this.fields) {
      const own = this.findings.filter((f) => f.column === name);
      entry.field.classList.toggle("finding", own.length > 0);
      entry.field.title = own.map((f) => f.text).join("\n");
      const caption = this.captions.get(name);
      if (caption) caption.classList.toggle("finding", this.findings.some((f) => f.column && this.captions.get(f.column) === caption));
    }
    const panel = document.getElementById("findings");
    panel.hidden = this.findings.length === 0;
    fill(panel.querySelector("ul"), this.findings.map((f) => this.findingItem(f)));
  }

  findingItem(finding) {
    const page = this.catalogue.pages.find((p) => p.name === finding.page);
    const where = finding.column && this.columns.get(finding.column);
    const link = el("a", {href: "#" + (finding.page || ""), class: "finding-link",
                          "data-column": finding.column || ""},
      (page ? page.caption + "：" : "") + (where ? where.caption + "　" : ""), finding.text);
    link.addEventListener("click", (event) => {
      event.preventDefault();
      if (finding.page) this.go(finding.page, finding.column);
    });
    return el("li", {}, link);
  }
}

let form = null;

function pagesOf(values) {
  const pages = new Set();
  for (const name of Object.keys(values)) {
    const page = form.columns.get(name)?.page;
    if (page) pages.add(page === "cover" ? "table_one" : page).add(page);
  }
  return pages;
}

// Sends the changed values; true once saved. Every failure keeps the typing.
async function save() {
  const values = form.changedValues();
  try {
    const answer = await call("PUT", projectPath(number), {version: form.version, values});
    Object.assign(form.baseline, values);
    if (answer.version !== undefined) form.version = answer.version;
    if (answer.state) form.setState(answer.state);
    form.showFindings(answer.findings || [], pagesOf(values));
    form.changed();
    say((answer.findings || []).length ? "已保存。审核发现问题，请看标红的栏目。" : "已保存。", "ok");
    return true;
  } catch (failure) {
    return handleSaveFailure(failure, values);
  }
}

async function handleSaveFailure(failure, values) {
  if (failure instanceof NetworkFailure) {
    say(failure.message);
    return false;
  }
  if (failure.status === 401 || (failure.status === 403 && !(session() || {}).csrf)) {
    say("登录已过期，请重新登录后继续保存。");
    return (await relogin()) ? save() : false;
  }
  if (failure.status === 409 && failure.body.current) return resolveConflict(failure.body, values);
  say(failure.message);
  return false;
}

async function resolveConflict(body, values) {
  const current = body.current;
  const theirs = current.values || {};
  const rows = Object.keys(values).map((name) => ({
    column: name, caption: form.columns.get(name).caption, mine: values[name], theirs: theirs[name] ?? "",
  }));
  // What others changed in columns the user left alone is shown at once.
  for (const [name, entry] of form.fields)
    if (!(name in values) && name in theirs) entry.show(shown(entry.column, theirs[name]));
  form.baseline = {...theirs};
  form.version = current.version;
  say("项目在您打开之后已被修改，本次保存未写入。");
  // The server's first clause names who changed the project and when.
  const who = typeof body.error === "string" ? body.error.split("，")[0] : "";
  const choice = await conflict(rows, who);
  if (choice === "mine") return save();
  if (choice === "theirs") {
    form.show(theirs);
    say("已采用库中的内容。", "ok");
  }
  form.changed();
  return false;
}

async function submit() {
  if (Object.keys(form.changedValues()).length > 0 && !(await save())) return;
  try {
    const answer = await call("POST", projectPath(number, "/submit"), {});
    form.setState(answer.state || "已上报");
    form.showFindings([], null);
    say("项目已上报。", "ok");
  } catch (failure) {
    if (failure.status === 401 && (await relogin())) return submit();
    if (failure.status === 422 && Array.isArray(failure.body.findings)) {
      form.showFindings(failure.body.findings, null);
      say((failure.message || "审核未通过，不能上报。") + "请点击审核结果中的问题逐条修改。");
      return;
    }
    say(failure.message);
  }
}

function setUpBar(answer) {
  document.getElementById("bar").hidden = false;
  document.getElementById("project-title").textContent = number + "　" + (answer.values.JB01 || "");
  document.getElementById("report").href = projectPath(number, "/report");
  document.getElementById("exchange").href = projectPath(number, "/exchange");
  document.getElementById("save").addEventListener("click", save);
  document.getElementById("submit").addEventListener("click", submit);
  window.addEventListener("beforeunload", (event) => {
    if (Object.keys(form.changedValues()).length > 0) event.preventDefault();
  });
}

async function start() {
  const kept = session();
  if (!kept || !kept.csrf) return toLogin();
  document.getElementById("who").textContent = (kept.unit || "") + " " + kept.name;
  if (office) {
    const back = document.getElementById("back");
    back.href = "/review.html";
    back.textContent = "审核";
    document.getElementById("progress").hidden = false;
  }
  let catalogue, answer;
  try {
    [catalogue, answer] = await Promise.all([call("GET", "/api/catalogue"), call("GET", projectPath(number))]);
  } catch (failure) {
    if (failure.status === 401) return toLogin();
    return say(failure.message);
  }
  form = new ProjectForm(catalogue);
  buildPages(catalogue, form, document.getElementById("pages"));
  form.baseline = {...answer.values};
  form.version = answer.version ?? 0;
  form.show(answer.values);
  setUpBar(answer);
  form.setState(answer.state);
  for (const {field} of form.fields.values()) field.addEventListener("input", () => form.changed());
  if (office) {
    for (const id of ["save", "submit"]) document.getElementById(id).hidden = true;
    await new ReviewPanel(form, number).open(answer);
  } else if (answer.state === "退回修改") {
    showComments(form, answer.comments);
  }
  const page = location.hash.slice(1);
  const column = new URLSearchParams(location.search).get("column");
  form.go(catalogue.pages.some((p) => p.name === page) ? page : "cover", form.fields.has(column) ? column : null);
  window.addEventListener("hashchange", () => {
    const to = location.hash.slice(1);
    if (catalogue.pages.some((p) => p.name === to)) form.go(to);
  });
}

start();
