"use strict";
// The page: reads the body and the rule from the fields, has the worker
// count them, and shows the table, the chart and the coalition check.
// document.body.dataset.state tells a test where the page is: "loading",
// "ready", "busy", "done" or "error".
const $ = (id) => document.getElementById(id);
let worker = null, asked = 0, last = null, sweepReply = null, waiting = null;

function setState(state) { document.body.dataset.state = state; }

function startWorker() {
  if (worker) worker.terminate();
  setState("loading");
  const source = $("worker-source").textContent;
  worker = new Worker(URL.createObjectURL(new Blob([source], {type: "text/javascript"})));
  worker.onmessage = (event) => {
    const m = event.data;
    if (m.kind === "ready") { setState("ready"); if (waiting) { const w = waiting; waiting = null; w(); } }
    else if (m.kind === "plan") showPlan(m);
    else if (m.kind === "progress") showProgress(m);
    else if (m.kind === "answer" && m.id === asked) answered(m.reply);
  };
}

// ---- the body -------------------------------------------------------------

const NUMBER = /^[-+]?(\d+([.,]\d*)?|[.,]\d+)(e[-+]?\d+)?%?$|^\$[0-9a-f]+$/i;

// Rows of a body: "NAME:W", "NAME<tab>W[<tab>W2...]", "NAME,W" per line, a
// comma list "A:3, B:2" on one line, or weights alone. Returns the names
// (empty when none is given) and the weights per system.
function parseBody(text) {
  let lines = text.split(/\r?\n/).map((l) => l.trim()).filter((l) => l !== "");
  if (lines.length === 1 && !lines[0].includes("\t")) lines = lines[0].split(/[,;]/).map((l) => l.trim()).filter((l) => l);
  const rows = lines.map((line) => {
    let fields;
    if (line.includes("\t")) fields = line.split("\t");
    else if (line.includes(":")) { const at = line.lastIndexOf(":"); fields = [line.slice(0, at), line.slice(at + 1)]; }
    else if (line.includes(";")) fields = line.split(";");
    else if (line.includes(",")) fields = line.split(",");
    else fields = line.split(/\s+/);
    fields = fields.map((f) => f.trim()).filter((f) => f !== "");
    if (fields.length > 1 && !NUMBER.test(fields[0])) return {name: fields[0], weights: fields.slice(1)};
    return {name: "", weights: fields};
  });
  // A spreadsheet's heading row (no number in it) is left out.
  if (rows.length > 1 && !rows[0].weights.some((w) => NUMBER.test(w)) && rows[1].weights.some((w) => NUMBER.test(w))) rows.shift();
  const named = rows.some((r) => r.name !== "");
  const systems = Math.max(1, ...rows.map((r) => r.weights.length));
  const weights = [];
  for (let k = 0; k < systems; ++k) weights.push(rows.map((r) => r.weights[k] ?? ""));
  return {names: named ? rows.map((r, i) => r.name || "P" + (i + 1)) : [], weights};
}

function request(extra) {
  const req = {quota: $("quota").value.trim(), indices: ["all"], systemQuotas: [], overall: $("overall").value.trim()};
  if (fileGame && $("weights").value === fileGame.shown) { req.text = fileGame.text; req.file = fileGame.name; }
  else if ($("members").value.trim()) req.members = $("members").value.split(/[,\s]+/).filter((m) => m);
  else {
    const body = parseBody($("weights").value);
    req.names = body.names;
    req.weights = body.weights[0];
    req.systems = body.weights.slice(1);
    for (const k of [2, 3]) {
      const more = $("weights" + k).value.trim();
      if (more) req.systems[k - 2] = parseBody(more).weights[0];
    }
    req.systems = req.systems.filter((s) => s && s.length);
    req.systemQuotas = req.systems.map((s, k) => $("quota" + (k + 2)).value.trim() || "majority");
  }
  return Object.assign(req, extra || {});
}

// ---- running ----------------------------------------------------------------

let pending = null;
function compute(extra) {
  pending = extra || null;
  const req = request(extra);
  if (req.weights && !req.weights.length) {
    showError("Enter the players' weights: NAME:WEIGHT per line, or weights alone.", "weights");
    return setState("error");
  }
  const send = () => {
    asked += 1;
    setState("busy");
    showError("", "");
    $("compute").disabled = true;
    $("cancel").disabled = false;
    $("estimate").hidden = true;
    $("progress").hidden = true;
    $("plan").textContent = "";
    $("status").textContent = "Planning...";
    worker.postMessage({id: asked, request: req});
  };
  if (document.body.dataset.state === "loading") waiting = send; else send();
}

function showPlan(m) {
  $("plan").textContent = m.text.trim();
  $("status").textContent = "Counting (planned " + seconds(m.seconds) + ")...";
}

function showProgress(m) {
  if (m.fraction >= 1 && !m.method) return;
  $("progress").hidden = false;
  $("progress").value = m.fraction;
  $("status").textContent = (m.method ? m.method + ": " : "") + Math.round(100 * m.fraction) + " % after " + seconds(m.seconds);
}

function seconds(s) { return s < 1 ? Math.max(1, Math.round(1000 * s)) + " ms" : s.toFixed(s < 10 ? 2 : 0) + " s"; }

function cancel() {
  asked += 1;
  startWorker();
  $("compute").disabled = false;
  $("cancel").disabled = true;
  $("progress").hidden = true;
  $("status").textContent = "Stopped.";
}

function answered(reply) {
  $("compute").disabled = false;
  $("cancel").disabled = true;
  $("progress").hidden = true;
  if (pending && pending.sweep) return sweptAnswer(reply);
  if (!reply.ok) {
    showError(reply.message, reply.field);
    $("status").textContent = "";
    if (reply.refused) $("estimate").hidden = false;
    if (reply.plan && reply.plan.text) $("plan").textContent = reply.plan.text.trim();
    setState("error");
    return;
  }
  last = reply;
  $("status").textContent = "Counted in " + seconds(reply.ms / 1000) + (pending && pending.estimate ? " (estimated)" : "") +
    (reply.methods.length ? " by " + [...new Set(reply.methods)].join(", ") : "") + "." + (reply.notes.length ? "\n" + reply.notes.join("\n") : "");
  renderTable(reply);
  renderChart(reply.svg);
  renderCoalitionPlayers(reply);
  setSlider(reply);
  for (const b of ["download-csv", "download-svg", "sweep"]) $(b).disabled = false;
  setState("done");
}

// The message goes next to the field that holds the fault.
function showError(message, field) {
  for (const f of ["weights", "quota", "members"]) $(f).classList.remove("bad");
  const error = $("error");
  error.textContent = message;
  const at = field === "quota" ? $("quota-slider") : field === "weights" ? ($("members").value.trim() ? $("members") : $("weights")) : null;
  if (message && at) {
    (field === "quota" ? $("quota") : at).classList.add("bad");
    at.insertAdjacentElement("afterend", error);
  } else $("compute").parentElement.insertAdjacentElement("beforebegin", error);
  if (message) { last = null; clearResults(); }
}

function clearResults() {
  $("results").tHead.innerHTML = "";
  $("results").tBodies[0].innerHTML = "";
  $("chart-box").innerHTML = "";
  $("coalition-players").innerHTML = "";
  $("coalition").textContent = "";
  for (const b of ["download-csv", "download-svg", "sweep"]) $(b).disabled = true;
}

// ---- the table ---------------------------------------------------------------

function renderTable(reply) {
  const head = $("results").tHead, body = $("results").tBodies[0];
  const weightAt = reply.columns.indexOf("weight"), subAt = reply.columns.indexOf("subgame");
  const totals = {};
  for (const row of reply.rows) {
    const w = Number(row[weightAt]);
    if (Number.isFinite(w)) totals[row[subAt]] = (totals[row[subAt]] || 0) + w;
  }
  const tr = document.createElement("tr");
  reply.columns.forEach((c, i) => tr.appendChild(cell("th", c, isText(reply, i))));
  const share = cell("th", "weight share", false);
  share.className = "extra";
  tr.appendChild(share);
  head.replaceChildren(tr);
  body.replaceChildren(...reply.rows.map((row) => {
    const r = document.createElement("tr");
    row.forEach((text, i) => r.appendChild(cell("td", text, isText(reply, i))));
    const w = Number(row[weightAt]), t = totals[row[subAt]];
    r.appendChild(cell("td", Number.isFinite(w) && t ? (100 * w / t).toFixed(2) + " %" : "", false));
    return r;
  }));
  [...tr.children].forEach((th, i) => th.addEventListener("click", () => sortBy(i, th)));
}

function isText(reply, i) { return reply.columns[i] === "name" || reply.columns[i].endsWith("_method"); }

function cell(tag, text, left) {
  const c = document.createElement(tag);
  c.textContent = text;
  if (left) c.className = "text";
  return c;
}

function sortBy(i, th) {
  const body = $("results").tBodies[0];
  const up = th.classList.contains("sorted") && !th.classList.contains("up");
  for (const h of th.parentElement.children) h.classList.remove("sorted", "up");
  th.classList.add("sorted");
  if (up) th.classList.add("up");
  const key = (tr) => tr.children[i].textContent;
  const rows = [...body.rows].sort((a, b) => {
    const x = parseFloat(key(a)), y = parseFloat(key(b));
    const order = Number.isFinite(x) && Number.isFinite(y) ? y - x : key(a).localeCompare(key(b));
    return up ? -order : order;
  });
  body.replaceChildren(...rows);
}

// ---- the charts and the downloads ------------------------------------------

function renderChart(svg) {
  $("chart-box").innerHTML = svg;
  const chart = $("chart-box").querySelector("svg");
  if (chart) chart.id = "chart";
}

function download(name, type, text) {
  const a = document.createElement("a");
  a.href = URL.createObjectURL(new Blob([text], {type}));
  a.download = name;
  document.body.appendChild(a);
  a.click();
  a.remove();
}

function sweptAnswer(reply) {
  if (!reply.ok) { $("status").textContent = reply.message; setState("done"); return; }
  sweepReply = reply;
  $("sweep-box").innerHTML = "<h2>The indices as the quota moves</h2>" + reply.svg +
    '<div class="row"><button id="download-sweep">Download sweep (SVG)</button></div>';
  const svg = $("sweep-box").querySelector("svg");
  if (svg) svg.id = "sweep-chart";
  $("download-sweep").onclick = () => download("vkx-sweep.svg", "image/svg+xml", sweepReply.svg);
  $("status").textContent = "Swept in " + seconds(reply.ms / 1000) + ".";
  setState("done");
}

// ---- the quota slider ---------------------------------------------------------

function setSlider(reply) {
  const total = reply.players.reduce((s, p) => s + (p.subgame === 1 ? Number(p.weights[0]) || 0 : 0), 0);
  const slider = $("quota-slider");
  slider.hidden = !(total > 0);
  if (!(total > 0)) return;
  slider.max = total;
  const q = Number(reply.rule?.winsets?.[0]?.[0]?.[0]);
  if (Number.isFinite(q)) slider.value = q;
}

let slid = null;
function slide() {
  $("quota").value = $("quota-slider").value;
  clearTimeout(slid);
  slid = setTimeout(() => compute(), 60);
}

// ---- the coalition check ------------------------------------------------------

function renderCoalitionPlayers(reply) {
  const box = $("coalition-players");
  box.replaceChildren(...reply.players.map((p, i) => {
    const label = document.createElement("label");
    const tick = document.createElement("input");
    tick.type = "checkbox";
    tick.value = i;
    tick.onchange = checkCoalition;
    label.append(tick, " " + (p.name || "player " + (i + 1)));
    return label;
  }));
  $("coalition-names").value = "";
  checkCoalition();
}

// Whether the ticked (or named) players win under the counted rule: per win
// set, the weight in every subgame within its bounds, every further vote
// system's threshold reached, and the overall threshold of members; the
// margins of the first win set and the members whose leaving loses it.
function checkCoalition() {
  const out = $("coalition");
  if (!last || !last.players) { out.textContent = ""; return; }
  const typed = $("coalition-names").value.split(/[,;\n]/).map((n) => n.trim().toLowerCase()).filter((n) => n);
  const ticks = [...$("coalition-players").querySelectorAll("input")];
  const chosen = new Set(ticks.filter((t) => t.checked).map((t) => Number(t.value)));
  last.players.forEach((p, i) => { if (typed.includes(String(p.name).toLowerCase())) chosen.add(i); });
  ticks.forEach((t) => { t.checked = chosen.has(Number(t.value)); });
  const rule = last.rule || {};
  const players = last.players;
  const subgames = Math.max(...players.map((p) => p.subgame));
  const systems = Math.max(...players.map((p) => p.weights.length));
  const sums = (set) => {
    const s = [];
    for (let k = 0; k < systems; ++k) { s.push([]); for (let d = 1; d <= subgames; ++d) s[k].push(0); }
    set.forEach((i) => players[i].weights.forEach((w, k) => { s[k][players[i].subgame - 1] += Number(w); }));
    return s;
  };
  const wins = (set) => {
    const s = sums(set);
    if (rule.overall_threshold > 0 && set.size < rule.overall_threshold) return false;
    return (rule.winsets || []).some((box, t) =>
      box.every(([low, high], d) => s[0][d] >= low && s[0][d] <= high) &&
      (rule.system_thresholds || []).every((sets, k) => sets[t].every((q, d) => s[k + 1][d] >= q)));
  };
  if (chosen.size === 0) { out.className = ""; out.textContent = "Tick players or type their names."; return; }
  const s = sums(chosen);
  const won = wins(chosen);
  const lines = [(won ? "Wins" : "Loses") + ": " + chosen.size + " of " + players.length + " players."];
  const box = (rule.winsets || [])[0] || [];
  box.forEach(([low], d) => {
    const diff = s[0][d] - low;
    lines.push((subgames > 1 ? "Subgame " + (d + 1) + ": " : "") + "weight " + s[0][d] + " against the quota " + low + ": " +
      (diff >= 0 ? "reaches it with " + diff + " to spare" : "misses it by " + -diff));
  });
  (rule.system_thresholds || []).forEach((sets, k) => sets[0].forEach((q, d) => {
    const diff = s[k + 1][d] - q;
    lines.push("Weights " + (k + 2) + ": " + s[k + 1][d] + " against " + q + ": " + (diff >= 0 ? "reaches it with " + diff + " to spare" : "misses it by " + -diff));
  }));
  if (rule.overall_threshold > 0) lines.push("Members " + chosen.size + " against " + rule.overall_threshold);
  if (won) {
    const critical = [...chosen].filter((i) => { const rest = new Set(chosen); rest.delete(i); return !wins(rest); });
    lines.push("Critical: " + (critical.length ? critical.map((i) => players[i].name || "player " + (i + 1)).join(", ") : "none"));
  }
  out.className = won ? "wins" : "loses";
  out.textContent = lines.join("\n");
}

// ---- a data file --------------------------------------------------------------

let fileGame = null;
function openFile() {
  const f = $("file").files[0];
  if (!f) return;
  f.text().then((text) => {
    fileGame = {name: f.name, text, shown: "(data file " + f.name + ")"};
    $("weights").value = fileGame.shown;
    compute();
  });
}

$("compute").onclick = () => compute();
$("cancel").onclick = cancel;
$("estimate").onclick = () => compute({estimate: 0.001});
$("download-csv").onclick = () => last && download("vkx.csv", "text/csv", last.csv);
$("download-svg").onclick = () => last && download("vkx.svg", "image/svg+xml", last.svg);
$("sweep").onclick = () => compute({sweep: true, quota: "50%:100%:1%"});
$("quota-slider").oninput = slide;
$("coalition-names").oninput = checkCoalition;
$("file").onchange = openFile;
startWorker();
