// The settings panel's page: the controls built from the schema the server sends, each
// change posted at once, the picture fetched anew after each change at the size shown,
// and the server's events (a change from anywhere) bringing controls and picture up to date.
"use strict";

const groups = [["general", "General"], ["banner", "Banners"], ["lockscreen", "Lockscreen"],
  ["widget", "Widgets"], ["mediaplayer", "Media player"]];
const $ = (id) => document.getElementById(id);
let state = null;          // the last state the server sent
const rows = new Map();    // key -> {row, set(value), message, contrast}
let pictureVersion = -1;   // the state the picture shows
let pointsWidth = 0, pointsHeight = 0; // the picture's size in points, learnt from the server
// Measures for the benchmark: each change's time to its picture, and the pictures shown.
window.panelStats = { changes: [], shown: [] };
let pendingChange = null;  // {started} of the change whose picture is awaited

async function post(path, body, raw) {
  const response = await fetch(path, {
    method: "POST",
    headers: { "Content-Type": raw ? "application/octet-stream" : "application/json" },
    body: raw ? body : JSON.stringify(body || {}),
  });
  let answer = {};
  try { answer = await response.json(); } catch (e) { answer = { error: response.statusText }; }
  if (!response.ok && !answer.error) answer.error = response.statusText;
  answer.version = Number(response.headers.get("X-Panel-Version"));
  return answer;
}

function say(text) { $("status").textContent = text; }

// --- the picture ----------------------------------------------------------------------

let pictureBusy = false, pictureAgain = false;
function viewChoice() {
  const screen = $("screen").value;
  return { screen, appearance: $("appearance").value, surface: screen === "surface" ? $("surface").value : "" };
}
function pictureScale() {
  const box = $("picture-box");
  // The picture fills the box's width, or its height where that is the tighter.
  const dpr = window.devicePixelRatio || 1;
  if (!pointsWidth) return 1;
  const fit = Math.min(box.clientWidth / pointsWidth, box.clientHeight / pointsHeight);
  return Math.min(3, Math.max(0.1, fit * dpr));
}
async function wantPicture() {
  if (pictureBusy) { pictureAgain = true; return; }
  pictureBusy = true;
  try {
    do {
      pictureAgain = false;
      const v = viewChoice();
      const scale = pictureScale();
      const query = new URLSearchParams({ screen: v.screen === "surface" && !v.surface ? "all" : v.screen,
        appearance: v.appearance, surface: v.surface, scale: scale.toFixed(3) });
      const response = await fetch("/api/picture?" + query);
      if (!response.ok) { say("picture: " + ((await response.json()).error || response.statusText)); continue; }
      const version = Number(response.headers.get("X-Panel-Version"));
      const blob = await response.blob();
      const url = URL.createObjectURL(blob);
      const img = $("picture");
      const old = img.src;
      img.src = url;
      await img.decode().catch(() => {});
      if (old.startsWith("blob:")) URL.revokeObjectURL(old);
      const dpr = window.devicePixelRatio || 1;
      img.style.width = (img.naturalWidth / dpr) + "px";
      img.dataset.version = version;
      const points = img.naturalWidth / scale;
      const fresh = !pointsWidth || Math.abs(points - pointsWidth) > 1;
      pointsWidth = points;
      pointsHeight = img.naturalHeight / scale;
      if (fresh && Math.abs(pictureScale() - scale) / scale > 0.05) pictureAgain = true;
      pictureVersion = Math.max(pictureVersion, version);
      const now = performance.now();
      window.panelStats.shown.push(now);
      if (pendingChange && version >= pendingChange.version) {
        window.panelStats.changes.push(now - pendingChange.started);
        pendingChange = null;
      }
    } while (pictureAgain);
  } finally {
    pictureBusy = false;
  }
}

// --- the controls ---------------------------------------------------------------------

let sending = false;
const waiting = new Map(); // key -> the latest value not yet sent
async function change(key, value) {
  waiting.set(key, value);
  if (sending) return;
  sending = true;
  try {
    while (waiting.size) {
      const [k, v] = waiting.entries().next().value;
      waiting.delete(k);
      const started = performance.now();
      const answer = await post("/api/set", { key: k, value: v });
      const row = rows.get(k);
      if (answer.status === "written") {
        row.message.textContent = "";
        pendingChange = { started, version: answer.version };
        wantPicture();
        refresh();
      } else {
        // What was typed stays, beside the reason; nothing was stored.
        row.message.textContent = answer.message || answer.error || "refused";
      }
    }
  } finally {
    sending = false;
  }
}

function colourParts(value) {
  const m = /^#([0-9A-Fa-f]{6})(?::([0-9.]+))?$/.exec(value);
  if (!m) return null;
  return { hex: "#" + m[1].toUpperCase(), alpha: m[2] === undefined ? 1 : Number(m[2]) };
}
function colourText(hex, alpha) {
  return alpha >= 1 ? hex.toUpperCase() : hex.toUpperCase() + ":" + Number(alpha.toFixed(2));
}

function makeControl(s, box) {
  const key = s.key;
  if (s.form === "switch") {
    const input = Object.assign(document.createElement("input"), { type: "checkbox", id: "c-" + key });
    input.setAttribute("role", "switch");
    input.addEventListener("change", () => change(key, input.checked));
    box.append(input);
    return (v) => { input.checked = v === "true"; };
  }
  if (s.form === "choice") {
    const select = Object.assign(document.createElement("select"), { id: "c-" + key });
    for (const c of s.choices) select.append(new Option(c, c));
    select.addEventListener("change", () => change(key, select.value));
    box.append(select);
    return (v) => {
      if (![...select.options].some((o) => o.value === v)) select.append(new Option(v, v));
      select.value = v;
    };
  }
  if (s.form === "range") {
    const slider = Object.assign(document.createElement("input"),
      { type: "range", min: s.least, max: s.most, step: 1, id: "c-" + key });
    const number = Object.assign(document.createElement("input"), { type: "number", id: "n-" + key });
    const unit = Object.assign(document.createElement("span"), { textContent: s.unit });
    slider.addEventListener("input", () => { number.value = slider.value; change(key, Number(slider.value)); });
    number.addEventListener("change", () => {
      const n = Number(number.value);
      change(key, Number.isInteger(n) && number.value.trim() !== "" ? n : number.value);
    });
    box.append(slider, number, unit);
    return (v) => {
      if (document.activeElement !== slider) slider.value = v;
      if (document.activeElement !== number) number.value = v;
    };
  }
  // A colour: none, dominant, the setting's keywords, or a fixed colour with its alpha;
  // the text field takes any value as typed.
  const kind = Object.assign(document.createElement("select"), { id: "k-" + key });
  for (const c of ["none", "dominant", ...s.choices]) kind.append(new Option(c, c));
  kind.append(new Option("colour", "colour"));
  const picker = Object.assign(document.createElement("input"), { type: "color", id: "c-" + key });
  const alpha = Object.assign(document.createElement("input"),
    { type: "range", min: 0, max: 1, step: 0.05, id: "a-" + key, title: "alpha" });
  const text = Object.assign(document.createElement("input"),
    { type: "text", className: "colour-text", id: "t-" + key, spellcheck: false });
  const fixed = () => colourText(picker.value, Number(alpha.value));
  kind.addEventListener("change", () => change(key, kind.value === "colour" ? fixed() : kind.value));
  picker.addEventListener("input", () => { kind.value = "colour"; text.value = fixed(); change(key, fixed()); });
  alpha.addEventListener("input", () => { kind.value = "colour"; text.value = fixed(); change(key, fixed()); });
  text.addEventListener("change", () => change(key, text.value));
  box.append(kind, picker, alpha, text);
  return (v) => {
    const parts = colourParts(v);
    const isKeyword = [...kind.options].some((o) => o.value === v && v !== "colour");
    kind.value = parts ? "colour" : isKeyword ? v : "colour";
    const showFixed = !!parts;
    picker.disabled = alpha.disabled = false;
    picker.style.opacity = alpha.style.opacity = showFixed ? 1 : 0.4;
    if (parts && document.activeElement !== picker) picker.value = parts.hex.toLowerCase();
    if (parts && document.activeElement !== alpha) alpha.value = parts.alpha;
    if (document.activeElement !== text) text.value = v;
  };
}

function build() {
  const holder = $("settings");
  holder.textContent = "";
  for (const [surface, title] of groups) {
    const section = Object.assign(document.createElement("section"), { className: "group", id: "group-" + surface });
    const h = document.createElement("h2");
    const reset = Object.assign(document.createElement("button"),
      { type: "button", className: "reset", textContent: "Reset " + title.toLowerCase(), id: "reset-" + surface });
    reset.addEventListener("click", () => act("/api/reset", { surface }, title + " back to the defaults"));
    h.append(title, reset);
    section.append(h);
    for (const s of state.settings.filter((x) => x.surface === surface)) {
      const row = Object.assign(document.createElement("div"), { className: "setting", id: "row-" + s.key });
      row.dataset.key = s.key;
      const top = Object.assign(document.createElement("div"), { className: "top" });
      const label = Object.assign(document.createElement("label"), { className: "name", textContent: s.label, htmlFor: "c-" + s.key });
      const back = Object.assign(document.createElement("button"),
        { type: "button", className: "reset", textContent: "Default (" + s.default + ")", id: "d-" + s.key });
      back.addEventListener("click", () => act("/api/reset", { key: s.key }, s.label + " back to its default"));
      top.append(label, back);
      const description = Object.assign(document.createElement("div"),
        { className: "description", textContent: s.description.replace(/\.?$/, ". ") + "Takes " + s.takes + "." });
      const box = Object.assign(document.createElement("div"), { className: "control" });
      const set = makeControl(s, box);
      const message = Object.assign(document.createElement("div"), { className: "message", id: "m-" + s.key });
      message.setAttribute("role", "alert");
      const contrast = Object.assign(document.createElement("div"), { className: "contrast", id: "w-" + s.key });
      row.append(top, description, box, message, contrast);
      section.append(row);
      rows.set(s.key, { row, set, message, contrast });
    }
    holder.append(section);
  }
}

function showRow(r, s) {
  r.set(s.value);
  r.row.classList.toggle("stored", s.stored);
  r.row.title = s.problem ? "The stored value is not one this setting takes: " + s.problem : "";
  r.contrast.textContent = s.contrast
    ? "Contrast " + s.contrast.ratio.toFixed(2) + ":1 against " + s.contrast.against + ", under 3:1: hard to read"
    : "";
}

function show() {
  if (!rows.size) build();
  document.body.dataset.version = state.version;
  for (const s of state.settings) showRow(rows.get(s.key), s);
  $("undo").disabled = !state.undo;
  const scene = $("scene");
  if (scene.options.length !== state.scenes.length) {
    scene.textContent = "";
    for (const name of state.scenes) scene.append(new Option(name, name));
  }
  scene.value = state.scene;
  const surface = $("surface");
  const chosen = surface.value;
  surface.textContent = "";
  for (const id of state.surfaces) surface.append(new Option(id, id));
  if (state.surfaces.includes(chosen)) surface.value = chosen;
  const screen = $("screen");
  if (![...screen.options].some((o) => o.value === "surface")) screen.append(new Option("One surface", "surface"));
  surface.hidden = screen.value !== "surface";
  if (state.fileProblem) say(state.fileProblem);
  const gallery = $("gallery");
  if (!gallery.children.length) {
    for (const p of state.presets) {
      const card = Object.assign(document.createElement("div"), { className: "preset", id: "preset-" + p.id });
      if (p.picture) card.append(Object.assign(document.createElement("img"), { src: p.picture, alt: p.name }));
      const apply = Object.assign(document.createElement("button"), { type: "button", textContent: "Apply", id: "apply-" + p.id });
      apply.addEventListener("click", () => act("/api/preset/apply", { id: p.id }, "applied " + p.name + " (Undo takes it back)"));
      card.append(Object.assign(document.createElement("h3"), { textContent: p.name }),
        Object.assign(document.createElement("p"), { textContent: p.description }), apply);
      gallery.append(card);
    }
  }
}

let refreshing = null;
async function refresh() {
  if (refreshing) return refreshing;
  refreshing = (async () => {
    const response = await fetch("/api/state");
    state = await response.json();
    show();
  })();
  try { await refreshing; } finally { refreshing = null; }
}

// A request that changes settings; the result is said in the status line.
async function act(path, body, done) {
  const answer = await post(path, body);
  if (answer.status === "written" || answer.status === "posted" || answer.status === "shown") say(done);
  else say(answer.message || answer.error || (answer.errors || []).join("; ") || "refused");
  await refresh();
  wantPicture();
  return answer;
}

// --- presets from a file --------------------------------------------------------------

let uploaded = null;
$("upload").addEventListener("change", async () => {
  const file = $("upload").files[0];
  if (!file) return;
  uploaded = await file.arrayBuffer();
  const answer = await post("/api/preset/upload/check", uploaded, true);
  const list = $("upload-changes");
  list.textContent = "";
  if (answer.status !== "checked") {
    $("upload-review").hidden = true;
    $("preset-status").textContent = file.name + " is refused: " + (answer.errors || [answer.error]).join("; ");
    uploaded = null;
    return;
  }
  $("upload-title").textContent = (answer.name || file.name) + ": " + answer.changes.length + " changes";
  for (const c of answer.changes) {
    list.append(Object.assign(document.createElement("li"), { textContent: c.key + ": " + c.before + " → " + c.after }));
  }
  $("upload-review").hidden = false;
  $("preset-status").textContent = "";
});
$("upload-apply").addEventListener("click", async () => {
  const answer = await post("/api/preset/upload/apply", uploaded, true);
  $("upload-review").hidden = true;
  $("upload").value = "";
  $("preset-status").textContent = answer.status === "written"
    ? "imported " + answer.changes.length + " changes (Undo takes them back)"
    : "not imported: " + (answer.message || (answer.errors || []).join("; "));
  await refresh();
  wantPicture();
});
$("upload-drop").addEventListener("click", () => {
  uploaded = null;
  $("upload-review").hidden = true;
  $("upload").value = "";
  $("preset-status").textContent = "dropped";
});

// --- the header -----------------------------------------------------------------------

$("undo").addEventListener("click", () => act("/api/undo", {}, "undone"));
$("test-regular").addEventListener("click", () => act("/api/notify", { name: state.testRequests[0] }, "posted a test banner"));
$("test-lockscreen").addEventListener("click", () => act("/api/notify", { name: state.testRequests[1] }, "locked; six test notifications follow in a second"));
$("scene").addEventListener("change", async () => {
  pointsWidth = 0;
  await act("/api/scene", { scene: $("scene").value }, "showing " + $("scene").value);
});
for (const id of ["screen", "appearance", "surface"]) {
  $(id).addEventListener("change", () => {
    localStorage.setItem("lumora-panel-" + id, $(id).value);
    $("surface").hidden = $("screen").value !== "surface";
    pointsWidth = 0;
    wantPicture();
  });
}
window.addEventListener("resize", () => wantPicture());

async function start() {
  await refresh();
  for (const id of ["screen", "appearance"]) {
    const kept = localStorage.getItem("lumora-panel-" + id);
    if (kept && [...$(id).options].some((o) => o.value === kept)) $(id).value = kept;
  }
  $("surface").hidden = $("screen").value !== "surface";
  await wantPicture();
  const events = new EventSource("/api/events");
  events.onmessage = async (e) => {
    const data = JSON.parse(e.data);
    if (data.version === undefined) return;
    if (!state || data.version > state.version) await refresh();
    if (data.version > pictureVersion) wantPicture();
  };
  events.onerror = () => say("the panel has stopped, or the connection is lost; it reconnects on its own");
  events.onopen = () => say("");
  document.body.dataset.ready = "true";
}
start();
