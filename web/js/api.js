// The JSON API as the pages call it. The session cookie goes along by
// itself; every call that changes something carries the CSRF token from the
// login's answer, kept in sessionStorage so a reload keeps working.

const SESSION_KEY = "zorbix.session";

export function session() {
  try {
    return JSON.parse(sessionStorage.getItem(SESSION_KEY) || "null");
  } catch {
    return null;
  }
}

export function keepSession(answer) {
  sessionStorage.setItem(SESSION_KEY, JSON.stringify({
    name: answer.name, role: answer.role, unit: answer.unit, csrf: answer.csrf,
    must_change_password: answer.must_change_password,
  }));
}

export function forgetSession() { sessionStorage.removeItem(SESSION_KEY); }

// A call the server answered with an error: its status, its message and
// the whole body (a 409 carries the current values, a 422 the findings).
export class ApiFailure extends Error {
  constructor(status, body) {
    super(body && typeof body.error === "string" ? body.error : "请求失败（" + status + "）。");
    this.status = status;
    this.body = body || {};
  }
}

// The server could not be reached at all.
export class NetworkFailure extends Error {
  constructor() { super("无法连接服务器，请检查网络后重试。页面上填写的内容仍然保留。"); }
}

export function projectPath(number, suffix = "") {
  return "/api/projects/" + encodeURIComponent(number) + suffix;
}

// Calls the API; answers the parsed body, throws ApiFailure or NetworkFailure.
export async function call(method, path, body) {
  const headers = {"Accept": "application/json"};
  if (body !== undefined) headers["Content-Type"] = "application/json";
  if (method !== "GET") {
    const kept = session();
    if (kept && kept.csrf) headers["X-CSRF-Token"] = kept.csrf;
  }
  let response;
  try {
    response = await fetch(path, {
      method, headers, credentials: "same-origin",
      body: body === undefined ? undefined : JSON.stringify(body),
    });
  } catch {
    throw new NetworkFailure();
  }
  let answer = null;
  try {
    answer = await response.json();
  } catch {
    answer = null;
  }
  if (!response.ok) throw new ApiFailure(response.status, answer);
  return answer || {};
}

export async function login(name, password) {
  const answer = await call("POST", "/api/login", {name, password});
  keepSession(answer);
  return answer;
}

// Ends the session on the server and goes to the login page.
export async function logout() {
  try {
    await call("POST", "/api/logout", {});
  } catch {
    // Gone already or unreachable: the page forgets the session either way.
  }
  forgetSession();
  location.href = "/index.html";
}

// Sends the browser to the login page, to come back to where it was.
export function toLogin() {
  const back = location.pathname + location.search + location.hash;
  location.href = "/index.html?back=" + encodeURIComponent(back);
}

// Where a page goes when the session is gone: only pages of this server.
export function backAddress(fallback) {
  const back = new URLSearchParams(location.search).get("back");
  return back && back.startsWith("/") && !back.startsWith("//") ? back : fallback;
}

// The caller's role is the office's (审核员 or 管理员), not a unit's.
export function isOffice(kept = session()) {
  return Boolean(kept) && (kept.role === "clerk" || kept.role === "admin");
}

// Where a role starts after logging in.
export function homeOf(role) {
  return role === "clerk" || role === "admin" ? "/office.html" : "/projects.html";
}

// The file name a download answer names, else `fallback`.
function fileNameOf(response, fallback) {
  const header = response.headers.get("Content-Disposition") || "";
  const encoded = /filename\*=UTF-8''([^;]+)/i.exec(header);
  if (encoded) {
    try {
      return decodeURIComponent(encoded[1]);
    } catch {
      // A broken escape: the plain name below, or the fallback.
    }
  }
  const plain = /filename="?([^";]+)"?/i.exec(header);
  return plain ? plain[1] : fallback;
}

// Sends `file` (a File or Blob, or nothing) as the body as it is; answers
// {json} for a JSON answer, {blob, name} for a file. Throws as call().
export async function send(method, path, file, fallbackName = "") {
  const headers = {"Accept": "application/json, */*"};
  const kept = session();
  if (method !== "GET" && kept && kept.csrf) headers["X-CSRF-Token"] = kept.csrf;
  if (file !== undefined) headers["Content-Type"] = "application/octet-stream";
  let response;
  try {
    response = await fetch(path, {method, headers, credentials: "same-origin", body: file});
  } catch {
    throw new NetworkFailure();
  }
  const type = response.headers.get("Content-Type") || "";
  if (type.startsWith("application/json")) {
    let answer = null;
    try {
      answer = await response.json();
    } catch {
      answer = null;
    }
    if (!response.ok) throw new ApiFailure(response.status, answer);
    return {json: answer || {}};
  }
  if (!response.ok) throw new ApiFailure(response.status, null);
  return {blob: await response.blob(), name: fileNameOf(response, fallbackName)};
}

// Hands a fetched file to the browser as a download.
export function saveBlob(blob, name) {
  const address = URL.createObjectURL(blob);
  const link = document.createElement("a");
  link.href = address;
  link.download = name;
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(address), 60000);
}
