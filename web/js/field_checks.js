// The three checks the window makes when the focus leaves a field, with
// its messages: the project number, the e-mail address and the appraisal
// month. Only a hint while typing; the server's rule sets decide.

// The number formed by the leading digits of a text ("2012-05" → 2012,
// "2.否" → 2, "" → 0).
export function numericValue(text) {
  const match = /^\s*(\d+)/.exec(text || "");
  return match ? Number(match[1]) : 0;
}

export function leavingProblem(form, column) {
  const value = form.value(column);
  if (column === "JB02" && [...value].length !== 12) return "项目编号格式错误。";
  if (column === "JB06") {
    const at = value.indexOf("@", 1);
    if (at < 1 || at >= value.length - 1) return "Email地址格式错误。";
  }
  if (column === "JB82" && numericValue(form.value("JB81")) !== 2) {
    if (value[4] !== "-" || numericValue(form.value("JB63_1")) > numericValue(value))
      return "鉴定日期格式或时间有误。";
  }
  return null;
}
