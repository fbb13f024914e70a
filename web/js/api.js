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
