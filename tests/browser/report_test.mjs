// The flight report in a real browser: runs quarn into a fresh folder, opens its report.html
// from disk in headless Chromium with the network shut, and checks that the page raises no
// error and requests nothing, that every chart it promises is drawn with data, and that the
// timeline lists every event of events.jsonl.
//
//   node report_test.mjs --quarn EXE [--charts a,b] [--skipped c,d] [--hud V,W] [--summary]
//                        [--screenshot PNG] -- QUARN_ARGS...
//
// --charts: charts that must be drawn; --skipped: charts that must say why they are absent;
// --hud: vessels whose head-up display must be shown (and the display at the end must be the
// one hud.txt lists); --summary: the flight summary must be shown. The arguments after -- go
// to quarn, with --out set to the fresh folder.
import { execFileSync } from "node:child_process";
import { mkdtempSync, readFileSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { pathToFileURL } from "node:url";
import { chromium } from "playwright-core";

const CHROMIUM = process.env.QUARN_CHROMIUM || "/usr/bin/chromium";
// As this machine's Chromium must run: no sandbox as root, and none of its own traffic.
const CHROMIUM_FLAGS = [
  "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
  "--disable-component-update", "--disable-sync",
];

function parseArgs(argv) {
  const split = argv.indexOf("--");
  const own = split < 0 ? argv : argv.slice(0, split);
  const opts = { quarn: null, charts: [], skipped: [], hud: [], summary: false, screenshot: null, quarnArgs: split < 0 ? [] : argv.slice(split + 1) };
  for (let i = 0; i < own.length; i++) {
    const a = own[i];
    if (a === "--quarn") opts.quarn = own[++i];
    else if (a === "--charts") opts.charts = own[++i].split(",").filter(Boolean);
    else if (a === "--skipped") opts.skipped = own[++i].split(",").filter(Boolean);
    else if (a === "--hud") opts.hud = own[++i].split(",").filter(Boolean);
    else if (a === "--summary") opts.summary = true;
    else if (a === "--screenshot") opts.screenshot = own[++i];
    else throw new Error(`unknown argument ${a}`);
  }
  if (!opts.quarn || opts.quarnArgs.length === 0) throw new Error("usage: --quarn EXE [...] -- QUARN_ARGS...");
  return opts;
}

const failures = [];
function check(ok, what) {
  if (!ok) failures.push(what);
}

async function main() {
  const opts = parseArgs(process.argv.slice(2));
  const dir = mkdtempSync(join(tmpdir(), "quarn-report-"));
  try {
    execFileSync(opts.quarn, [...opts.quarnArgs, "--out", dir], { stdio: ["ignore", "ignore", "inherit"] });
    await checkPage(dir, opts);
  } finally {
    rmSync(dir, { recursive: true, force: true });
  }
  if (failures.length) {
    console.error(`report page: ${failures.length} check(s) failed:\n  ` + failures.join("\n  "));
    process.exit(1);
  }
  console.log("report page: all checks passed");
}

async function checkPage(dir, opts) {
  const events = readFileSync(join(dir, "events.jsonl"), "utf8").split("\n").filter(Boolean).map((l) => JSON.parse(l));
  const hudLines = readFileSync(join(dir, "hud.txt"), "utf8").split("\n").filter(Boolean);
  const url = pathToFileURL(join(dir, "report.html")).href;

  const browser = await chromium.launch({ executablePath: CHROMIUM, headless: true, args: CHROMIUM_FLAGS });
  try {
    const context = await browser.newContext({ offline: true, viewport: { width: 1280, height: 900 } });
    // anything but the page itself is refused, and counted
    const requests = [];
    await context.route("**/*", (route) => {
      const u = route.request().url();
      requests.push(u);
      return u === url ? route.continue() : route.abort();
    });
    const page = await context.newPage();
    page.on("console", (m) => check(m.type() !== "error", `console error: ${m.text()}`));
    page.on("pageerror", (e) => check(false, `page error: ${e.message}`));
    page.on("requestfailed", (r) => check(false, `failed request: ${r.url()} (${r.failure()?.errorText})`));

    await page.goto(url, { waitUntil: "load" });
    await page.waitForFunction(() => window.quarnReport !== undefined, null, { timeout: 30000 });
    check(requests.every((u) => u === url), `requests besides the page: ${requests.filter((u) => u !== url).join(", ")}`);

    // charts: drawn ones hold data and ink on their canvas; absent ones say why
    const figures = await page.$$eval("figure[data-chart]", (figs) =>
      figs.map((f) => {
        const canvas = f.querySelector("canvas");
        let inked = 0;
        if (canvas) {
          const px = canvas.getContext("2d").getImageData(0, 0, canvas.width, canvas.height).data;
          for (let i = 3; i < px.length; i += 4) if (px[i] !== 0) inked++;
        }
        return {
          id: f.dataset.chart, skipped: f.classList.contains("skipped"), points: Number(f.dataset.points || 0),
          canvas: !!canvas, inked, note: f.querySelector(".note")?.textContent || "",
        };
      }));
    for (const id of opts.charts) {
      const f = figures.find((x) => x.id === id);
      if (!f) { check(false, `chart ${id} missing`); continue; }
      check(!f.skipped && f.canvas, `chart ${id} has no canvas`);
      check(f.points > 0, `chart ${id} has no data`);
      check(f.inked > 1000, `chart ${id} draws nothing (${f.inked} pixels)`);
    }
    for (const id of opts.skipped) {
      const f = figures.find((x) => x.id === id);
      check(f && f.skipped && f.note.length > 0, `chart ${id} should be absent with a note`);
    }
    for (const f of figures)
      check(opts.charts.includes(f.id) || opts.skipped.includes(f.id), `unexpected chart ${f.id}`);

    // timeline: every event but configuration changes, in order; those appear when asked for
    const listed = () => page.$$eval("#timeline tbody tr[data-event]", (rows) => rows
      .filter((r) => getComputedStyle(r).display !== "none")
      .map((r) => ({ t: Number(r.dataset.t), event: r.dataset.event, vessel: r.dataset.vessel })));
    const same = (a, b) => a.length === b.length && a.every((x, i) => Math.abs(x.t - b[i].t) < 1e-9 && x.event === b[i].event && x.vessel === b[i].vessel);
    const shown = await listed();
    const wanted = events.filter((e) => e.event !== "config");
    check(wanted.length > 0, "the run has no events to list");
    check(same(shown, wanted), `timeline lists ${shown.length} events, events.jsonl has ${wanted.length} besides configuration changes`);
    await page.check("#show-config");
    check(same(await listed(), events), "with configuration changes shown, the timeline differs from events.jsonl");
    await page.uncheck("#show-config");

    // head-up displays: one text per draw, where and in the colour drawn; the display at the
    // end is the one hud.txt lists
    const huds = await page.$$eval("#hud svg", (svgs) => svgs.map((svg) => ({
      vessel: svg.dataset.vessel,
      texts: [...svg.querySelectorAll("text")].map((t) =>
        `${t.getAttribute("x")} ${t.getAttribute("y")} 0x${t.getAttribute("fill").slice(1).toUpperCase()} ${t.textContent}`),
    })));
    for (const v of opts.hud)
      check(huds.some((h) => h.vessel === v && h.texts.length > 0), `no head-up display of ${v}`);
    if (hudLines.length > 0)
      check(huds.some((h) => JSON.stringify(h.texts) === JSON.stringify(hudLines)), `no head-up display as hud.txt lists it: ${JSON.stringify(huds)}`);

    if (opts.summary) {
      const summary = await page.$eval("#summary-section", (s) => (s.hidden ? "" : s.querySelector("pre").textContent));
      check(summary.includes("Flight summary"), "the flight summary is not shown");
    }

    if (opts.screenshot) await page.screenshot({ path: opts.screenshot, fullPage: true });
    await context.close();
  } finally {
    await browser.close();
  }
}

main().catch((e) => {
  console.error(`report page: ${e.stack || e}`);
  process.exit(1);
});
