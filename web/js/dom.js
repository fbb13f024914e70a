// Building the pages' elements. Texts always go in as text nodes, never as
// markup: a stored "<script>" shows as those characters.

// el("td", {class: "x", title: "y"}, "text", child, ...)
export function el(tag, attributes = {}, ...children) {
  const node = document.createElement(tag);
  for (const [name, value] of Object.entries(attributes)) {
    if (value === undefined || value === null || value === false) continue;
    if (name.startsWith("on")) node.addEventListener(name.slice(2), value);
    else node.setAttribute(name, value === true ? "" : String(value));
  }
  for (const child of children.flat()) {
    if (child === undefined || child === null) continue;
    node.append(typeof child === "string" ? document.createTextNode(child) : child);
  }
  return node;
}

// Replaces what `node` holds by `children`.
export function fill(node, ...children) {
  node.replaceChildren();
  for (const child of children.flat()) if (child !== null && child !== undefined) node.append(child);
  return node;
}

// Shows a message in the page's message line; kind "error" or "ok".
export function say(text, kind = "error") {
  const line = document.getElementById("message");
  if (!line) return;
  line.textContent = text;
  line.className = "message " + kind;
}

// Lets `form` be sent, once the page's handler for it is attached. Its
// submit button stands disabled in the page until then, so neither a click
// nor an Enter typed while the scripts still load sends the form by the
// browser's own means: a reload losing the typing, and for the login the
// name and password written into the address.
export function formReady(form) {
  for (const button of form.querySelectorAll('button[type="submit"]')) button.disabled = false;
}
