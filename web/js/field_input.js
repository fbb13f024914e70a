// What a field accepts while the user types, pastes or an input method
// commits: nothing but what the store may hold, digits only in the digit
// fields, at most the column's GBK bytes. Like the window's validator it
// looks at what was inserted since the last accepted text and keeps of it
// only what fits, so the caret stays where the user expects.
import {cutToBytes, gbkBytes, storable} from "./gbk.js";

function commonPrefix(a, b) {
  let n = 0;
  while (n < a.length && n < b.length && a[n] === b[n]) n++;
  if (n > 0 && /[\ud800-\udbff]/.test(a[n - 1])) n--;
  return n;
}

function commonSuffix(a, b, keep) {
  let n = 0;
  const most = Math.min(a.length, b.length) - keep;
  while (n < most && a[a.length - 1 - n] === b[b.length - 1 - n]) n++;
  return n;
}

export function keepAllowed(inserted, rules) {
  let kept = "";
  for (const ch of inserted) {
    if (rules.digits) {
      if (ch >= "0" && ch <= "9") kept += ch;
      continue;
    }
    if (rules.multiLine && (ch === "\n")) {
      kept += ch;
      continue;
    }
    if (!storable(ch)) continue;
    kept += rules.quoteSafe && ch === "\"" ? "'" : ch;
  }
  return kept;
}

// The text the field is to hold after an edit turned `accepted` into
// `input`, and where the caret goes; rules: {digits, limit, quoteSafe, multiLine}.
export function repaired(accepted, input, rules) {
  if (input === accepted) return {text: input, caret: null};
  const prefix = commonPrefix(accepted, input);
  const suffix = commonSuffix(accepted, input, prefix);
  const typed = input.slice(prefix, input.length - suffix);
  let inserted = keepAllowed(typed, rules);
  const rest = input.slice(0, prefix) + input.slice(input.length - suffix);
  if (rules.limit > 0) {
    const limit = Math.max(rules.limit, gbkBytes(accepted));
    inserted = cutToBytes(inserted, Math.max(0, limit - gbkBytes(rest)));
  }
  if (inserted === typed) return {text: input, caret: null};
  return {
    text: input.slice(0, prefix) + inserted + input.slice(input.length - suffix),
    caret: prefix + inserted.length,
  };
}

// Keeps `field` to its rules from now on.
export function guardInput(field, rules) {
  let accepted = field.value;
  let composing = false;
  field.addEventListener("compositionstart", () => { composing = true; });
  const check = () => {
    if (composing) return;
    const {text, caret} = repaired(accepted, field.value, rules);
    if (caret !== null) {
      field.value = text;
      field.setSelectionRange(caret, caret);
    }
    accepted = field.value;
  };
  field.addEventListener("compositionend", () => {
    composing = false;
    check();
  });
  field.addEventListener("input", check);
  // A value the page writes itself (loading, a pick) becomes the accepted one.
  return (text) => {
    field.value = text;
    accepted = text;
  };
}
