// The office's review of one project beside its read-only pages: the
// project's findings, a comment on any field (click the field or its
// caption, then write), the comment on the project, 退回修改 and 审核通过.
import {call, projectPath} from "./api.js";
import {el, fill, say} from "./dom.js";
import {reportFailure} from "./office_frame.js";
import {showChanged, showComments} from "./review_marks.js";

export class ReviewPanel {
  constructor(form, number) {
    this.form = form;
    this.number = number;
    this.comments = {};   // column → the comment written now
    this.column = null;   // the field the comment box is for
  }

  async open(answer) {
    this.build();
    for (const [name, entry] of this.form.fields)
      entry.field.addEventListener("focus", () => this.choose(name));
    this.showState(answer.state);
    // The last return's comments, to see whether the unit followed them.
    showComments(this.form, answer.comments, "上次退回时的审核意见");
    this.showChangedList(showChanged(this.form, answer.changed_since_return));
    try {
      const found = await call("GET", projectPath(this.number, "/findings"));
      this.form.showFindings(found.findings || [], null);
    } catch (failure) {
      reportFailure(failure);
    }
  }

  build() {
    const node = document.getElementById("review");
    this.projectBox = el("textarea", {id: "return-comment", rows: 3});
    this.fieldCaption = el("p", {id: "comment-for", class: "note"}, "点击栏目后可在此填写对该栏目的意见。");
    this.fieldBox = el("textarea", {id: "field-comment", rows: 3, disabled: true, "aria-label": "栏目意见"});
    this.fieldBox.addEventListener("input", () => this.keep());
    this.list = el("ul", {id: "field-comments"});
    this.returnButton = el("button", {type: "button", onclick: () => this.sendBack()}, "退回修改");
    this.approveButton = el("button", {type: "button", onclick: () => this.approve()}, "审核通过");
    this.changed = el("div", {id: "changed", hidden: true}, el("h4", {}, "退回后修改的栏目"), el("ul"));
    fill(node, el("h3", {}, "审核"),
         el("label", {}, "审核意见（退回时必填）", this.projectBox),
         el("div", {class: "field-comment"}, this.fieldCaption, this.fieldBox), this.list,
         el("div", {class: "buttons"}, this.returnButton, this.approveButton), this.changed);
    node.hidden = false;
  }

  choose(name) {
    this.column = name;
    const column = this.form.columns.get(name);
    this.fieldCaption.textContent = "栏目意见：" + column.caption + "（" + name + "）";
    this.fieldBox.disabled = false;
    this.fieldBox.value = this.comments[name] || "";
  }

  keep() {
    if (!this.column) return;
    const text = this.fieldBox.value;
    if (text.trim()) this.comments[this.column] = text;
    else delete this.comments[this.column];
    this.form.fields.get(this.column).field.classList.toggle("commented", Boolean(text.trim()));
    fill(this.list, Object.entries(this.comments).map(([name, comment]) => {
      const column = this.form.columns.get(name);
      const link = el("a", {href: "#" + column.page, "data-column": name}, column.caption + "：", comment);
      link.addEventListener("click", (event) => {
        event.preventDefault();
        this.form.go(column.page, name);
      });
      return el("li", {}, link);
    }));
  }

  showChangedList(columns) {
    this.changed.hidden = columns.length === 0;
    fill(this.changed.querySelector("ul"), columns.map((name) => {
      const column = this.form.columns.get(name);
      const link = el("a", {href: "#" + column.page, "data-column": name}, column.caption);
      link.addEventListener("click", (event) => {
        event.preventDefault();
        this.form.go(column.page, name);
      });
      return el("li", {}, link);
    }));
  }

  showState(state) {
    this.form.setState(state);
    const waiting = state === "已上报";
    this.returnButton.disabled = !waiting;
    this.approveButton.disabled = !waiting;
  }

  async sendBack() {
    const comment = this.projectBox.value.trim();
    if (!comment) {
      this.projectBox.focus();
      return say("退回项目时须填写审核意见。");
    }
    const fields = Object.fromEntries(Object.entries(this.comments).map(([k, v]) => [k, v.trim()]));
    await this.decide("/return", {comment, fields}, "项目已退回修改。");
  }

  async approve() {
    const comment = this.projectBox.value.trim();
    await this.decide("/approve", comment ? {comment} : {}, "项目已审核通过。");
  }

  async decide(suffix, body, done) {
    try {
      const answer = await call("POST", projectPath(this.number, suffix), body);
      this.showState(answer.state);
      say(done, "ok");
    } catch (failure) {
      reportFailure(failure);
    }
  }
}
