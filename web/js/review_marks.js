// The office's marks on a project's pages: its comments of the last
// return beside their fields with the comment on the project above the
// pages, and, for the office, the fields the unit changed since.
import {el, fill} from "./dom.js";

// Shows `comments` ({project, fields: {COLUMN: text}}) of `form`; the box
// above the pages, headed `heading`, lists each field's comment as a way
// to its field.
export function showComments(form, comments, heading = "审核意见") {
  const fields = (comments && comments.fields) || {};
  const project = (comments && comments.project) || "";
  for (const node of document.querySelectorAll(".form-page .comment")) node.remove();
  for (const [name, entry] of form.fields) {
    const text = fields[name];
    entry.field.classList.toggle("commented", Boolean(text));
    if (!text) continue;
    const note = el("div", {class: "comment", id: "comment-" + name, "data-column": name},
                    el("b", {}, "审核意见："), text);
    note.style.left = entry.field.style.left;
    note.style.top = (parseInt(entry.field.style.top, 10) + parseInt(entry.field.style.height, 10)) + "px";
    // Right after its field: shown while the field has the focus or the
    // pointer (zorbix.css), so that it never hides the fields below it.
    entry.field.after(note);
  }
  const box = document.getElementById("comments");
  const listed = Object.entries(fields).filter(([name]) => form.columns.has(name));
  box.hidden = !project && listed.length === 0;
  fill(box, el("h3", {}, heading), project ? el("p", {id: "project-comment"}, project) : null,
       listed.length ? el("ul", {}, listed.map(([name, text]) => commentItem(form, name, text))) : null);
}

function commentItem(form, name, text) {
  const column = form.columns.get(name);
  const link = el("a", {href: "#" + column.page, "data-column": name}, column.caption + "：", text);
  link.addEventListener("click", (event) => {
    event.preventDefault();
    form.go(column.page, name);
  });
  return el("li", {}, link);
}

// Lights the fields the unit changed since the office returned the project.
export function showChanged(form, columns) {
  const changed = new Set(columns || []);
  for (const [name, entry] of form.fields) entry.field.classList.toggle("changed", changed.has(name));
  return [...changed].filter((name) => form.columns.has(name));
}
