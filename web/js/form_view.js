// The cover and tables one to four, built from the catalogue the server
// sends: the window's layouts in twips (a twip is 1/15 of a pixel), its
// captions, its tab order, its key classes and its pickers.
import {el} from "./dom.js";
import {guardInput} from "./field_input.js";
import {numericValue, leavingProblem} from "./field_checks.js";

const px = (twips) => Math.round(twips / 15) + "px";

function place(node, box) {
  node.style.left = px(box.left);
  node.style.top = px(box.top);
  node.style.width = px(box.width);
  node.style.height = px(box.height);
  return node;
}

// The ring of 上一页/下一页 through the pages, and the field each step
// puts the focus into, as in the window.
export const RING = {
  cover: {previous: ["table_four", "JG131"], next: ["table_one", "JB21"]},
  table_one: {previous: ["cover", "JB01"], next: ["table_two", "JF1001"]},
  table_two: {previous: ["table_one", "JB21"], next: ["table_three", "JL100"]},
  table_three: {previous: ["table_two", "JF1002"], next: ["table_four", "JG131"]},
  table_four: {previous: ["table_three", "JL100"], next: ["cover", "JB01"]},
};

const ARROW_KEYS = {ArrowUp: "up", ArrowDown: "down", ArrowLeft: "left", ArrowRight: "right"};

function today() {
  const d = new Date();
  const two = (n) => String(n).padStart(2, "0");
  return d.getFullYear() + "-" + two(d.getMonth() + 1) + "-" + two(d.getDate());
}

// One page's fields with their behaviour; `form` is the whole form's state.
class PageBuilder {
  constructor(catalogue, form, page) {
    this.catalogue = catalogue;
    this.form = form;
    this.page = page;
    this.node = el("section", {class: "form-page", id: "page-" + page.name, hidden: true,
                               "aria-label": page.caption});
    place(this.node, {left: 0, top: 0, ...catalogue.page_size});
    this.node.append(el("h2", {class: "page-caption"}, page.caption));
    this.order = page.fields.map((f) => f.column);
    this.arrows = new Map(page.fields.map((f) => [f.column, f.arrows || {}]));
  }

  build() {
    for (const note of this.page.notes) this.addNote(note);
    for (const caption of this.page.captions) this.addCaption(caption);
    for (const field of this.page.fields) this.addField(field);
    this.addButtons();
    return this.node;
  }

  addNote(note) {
    const side = note.style === "side";
    // A side caption runs down, a character to each equal step of its height.
    const letters = side ? [...note.text.trim()].map((c) => el("span", {}, c)) : note.text;
    const node = el("div", {class: "note-" + note.style, "data-name": note.name}, letters);
    if (side) {
      const step = Math.floor(note.box.height / 15 / Math.max(1, letters.length));
      node.style.fontSize = Math.max(8, Math.min(12, step - 1)) + "px";
    }
    this.node.append(place(node, note.box));
  }

  addCaption(caption) {
    const column = this.form.columns.get(caption.column);
    const node = el("label", {class: "caption" + (caption.bold ? " bold" : "") +
                                   (caption.wrap ? " wrap" : ""),
                              for: "f-" + caption.column},
                    " ".repeat(column.indent) + column.caption);
    this.node.append(place(node, caption.box));
    // One caption names every field of the page that carries its text.
    for (const c of this.form.columns.values())
      if (c.page === this.page.name && c.caption === column.caption) this.form.captions.set(c.name, node);
  }

  addField(placed) {
    const column = this.form.columns.get(placed.column);
    const multi = column.kind === "multi_line_text";
    const field = el(multi ? "textarea" : "input", {
      id: "f-" + column.name, name: column.name, "data-column": column.name,
      "aria-label": column.caption, autocomplete: "off", spellcheck: "false",
      class: "field" + (column.kind === "number" ? " right" : ""),
      inputmode: column.key_class.startsWith("digits") ? "numeric" : null,
    });
    if (!multi) field.type = "text";
    this.node.append(place(field, placed.box));
    const show = guardInput(field, {
      digits: column.key_class.startsWith("digits"), limit: column.limit,
      quoteSafe: column.key_class === "quote_safe", multiLine: multi,
    });
    this.form.fields.set(column.name, {field, column, show, page: this.page.name});
    field.addEventListener("keydown", (event) => this.onKey(event, column));
    field.addEventListener("focus", () => this.onFocus(column));
    field.addEventListener("blur", () => this.onBlur(column));
    if (column.picker) this.addPicker(column, placed.box);
  }

  // The picker stands at the field's right end, as the window's drop-down
  // button does; it writes the picked item (or a region's code) in.
  addPicker(column, box) {
    const picker = this.catalogue.pickers[column.picker];
    const select = el("select", {class: "picker", tabindex: "-1", "data-for": column.name,
                                 "aria-label": column.caption + " 选择"},
                      el("option", {value: ""}, ""),
                      picker.items.map((item) => el("option", {value: item.value}, item.text)));
    const side = Math.round(box.height);
    this.node.append(place(select, {left: box.left + box.width - side, top: box.top,
                                    width: side, height: box.height}));
    select.addEventListener("change", () => {
      if (select.value === "" && select.selectedIndex <= 0) return;
      const {field, show} = this.form.fields.get(column.name);
      let value = select.value;
      if (column.name === "JB83" && numericValue(this.form.value("JB81")) === 2) value = "";
      show(value);
      select.selectedIndex = 0;
      field.focus();
      this.form.changed();
    });
  }

  onKey(event, column) {
    if (event.key === "ArrowDown" && event.altKey && column.picker) {
      event.preventDefault();
      const select = this.node.querySelector(`select[data-for="${column.name}"]`);
      select.focus();
      if (select.showPicker) select.showPicker();
      return;
    }
    const arrow = ARROW_KEYS[event.key];
    if (arrow && !event.altKey && !event.isComposing && column.kind !== "multi_line_text") {
      // Where the window moves the focus; elsewhere the caret moves as usual.
      const target = this.arrows.get(column.name)[arrow];
      if (!target) return;
      event.preventDefault();
      this.form.fields.get(target).field.focus();
      return;
    }
    if (event.key !== "Enter" || event.isComposing) return;
    if (column.key_class === "quote_safe") return;  // a line break
    event.preventDefault();
    if (column.key_class === "text" || column.key_class === "digits") this.focusNext(column.name);
  }

  focusNext(name) {
    const at = this.order.indexOf(name);
    const next = this.order[at + 1];
    if (next) this.form.fields.get(next).field.focus();
  }

  onFocus(column) {
    const caption = this.form.captions.get(column.name);
    if (caption) caption.classList.add("lit");
    const entry = this.form.fields.get(column.name);
    if (column.name === "TBSJ" && !entry.field.readOnly) {
      entry.show(today().slice(0, column.limit));
      this.form.changed();
    }
  }

  onBlur(column) {
    const caption = this.form.captions.get(column.name);
    const entry = this.form.fields.get(column.name);
    if (column.key_class === "quote_safe" && entry.field.value.includes("\"")) {
      entry.show(entry.field.value.replaceAll("\"", ""));
      this.form.changed();
    }
    if (!entry.field.readOnly && column.name === "JB82" && numericValue(this.form.value("JB81")) === 2) {
      this.form.fields.get("JB83").show("");
      this.form.changed();
    }
    const problem = entry.field.readOnly ? null : leavingProblem(this.form, column.name);
    this.form.markLeaving(column.name, problem);
    if (caption && !problem) caption.classList.remove("lit");
  }

  addButtons() {
    const step = RING[this.page.name];
    const button = (text, left, go) => {
      const b = el("button", {type: "button", class: "page-button"}, text);
      b.addEventListener("click", go);
      this.node.append(place(b, {left, top: 7200, width: 975, height: 375}));
    };
    button("上一页", 3240, () => this.form.go(...step.previous));
    button("下一页", 4560, () => this.form.go(...step.next));
    button("关  闭", 5880, () => this.form.close());
  }
}

// Builds every page into `container`; `form` gathers the fields by column.
export function buildPages(catalogue, form, container) {
  for (const page of catalogue.pages) container.append(new PageBuilder(catalogue, form, page).build());
}
