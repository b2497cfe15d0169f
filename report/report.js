// Draws the flight report from the data block of the page: the timeline, the charts and the
// head-up display. Needs only the chart library inlined before it; nothing is fetched.
"use strict";

(function () {
  const CAPSULE_CLASS = "QUARN/quarn_edl_capsule";
  const LANDER_CLASS = "QUARN/quarn_vlqn";
  const BREAK_UP_DRAG = 132000; // N: the entry capsule breaks up under more drag than this
  const STANDARD_GRAVITY = 9.80665; // m/s², one Earth g
  const LAST_MINUTE = 60; // s of the lander's descent shown before its touchdown
  const AFTER_TOUCHDOWN = 5; // s shown after it
  const HUD_WIDTH = 1024, HUD_HEIGHT = 768; // the display the text was drawn for
  const HUD_FONT = 14; // px on that display; the bus spaces its lines 16 px apart
  const CHART_HEIGHT = 260;
  const VESSEL_COLOURS = ["#1f77b4", "#d62728", "#2ca02c", "#9467bd", "#ff7f0e", "#8c564b", "#e377c2", "#17becf"];
  // event lines on the charts, by event; others are grey
  const EVENT_COLOURS = {
    created: "#7f7f7f", deleted: "#7f7f7f", detached: "#d62728", attached: "#9467bd",
    touchdown: "#2ca02c", crash: "#000000", key: "#1f77b4", navmode: "#17becf", focus: "#bcbd22", warning: "#ff7f0e",
  };

  const data = JSON.parse(document.getElementById("quarn-data").textContent);
  const charts = []; // every chart drawn: {id, plot, figure}

  // ---- telemetry: whole steps, each the change since the previous value, back to numbers ----
  function decode(deltas, step) {
    // dividing by the whole number of steps a unit holds keeps 0.1 steps exact to print
    const perUnit = step < 1 ? Math.round(1 / step) : 0;
    const out = new Array(deltas.length);
    let sum = 0;
    for (let i = 0; i < deltas.length; i++) {
      if (deltas[i] === null) { out[i] = null; continue; }
      sum += deltas[i];
      out[i] = perUnit ? sum / perUnit : sum * step;
    }
    return out;
  }

  const times = decode(data.t, data.steps.t);
  const columnNames = Object.keys(data.steps).filter((c) => c !== "t");

  // Vessels in order of appearance; each column as long as `times`, null where it did not fly.
  const vessels = [];
  for (const track of data.tracks) {
    let v = vessels.find((x) => x.name === track.vessel);
    if (!v) {
      v = { name: track.vessel, cls: track.class, colour: VESSEL_COLOURS[vessels.length % VESSEL_COLOURS.length], columns: {} };
      for (const c of columnNames) v.columns[c] = new Array(times.length).fill(null);
      v.present = new Array(times.length).fill(false);
      vessels.push(v);
    }
    for (const c of columnNames) {
      // a column left out was 0 throughout
      const values = track.columns[c] ? decode(track.columns[c], data.steps[c]) : new Array(track.n).fill(0);
      for (let i = 0; i < track.n; i++) v.columns[c][track.first + i] = values[i];
    }
    for (let i = 0; i < track.n; i++) v.present[track.first + i] = true;
    v.last = Math.max(v.last || 0, track.first + track.n - 1);
  }
  const byClass = (cls) => vessels.find((v) => v.cls === cls);

  // ---- small helpers ----
  function el(tag, attrs, text) {
    const e = document.createElement(tag);
    for (const [k, v] of Object.entries(attrs || {})) e.setAttribute(k, v);
    if (text !== undefined) e.textContent = text;
    return e;
  }
  // a number to d decimals, "–" for none; never "-0"
  const fixed = (v, d) => {
    if (v === null || v === undefined || !Number.isFinite(v)) return "–";
    const s = v.toFixed(d);
    return /^-0(\.0*)?$/.test(s) ? s.slice(1) : s;
  };
  const eventName = (e) => (e.event === "key" && e.key ? "key " + e.key : e.event);

  // ---- header, summary ----
  const mainEvents = data.events.filter((e) => e.event !== "config");
  const configCount = data.events.length - mainEvents.length;
  document.getElementById("facts").textContent =
    `Ended at t = ${fixed(data.end, 1)} s · ${vessels.length} vessel${vessels.length === 1 ? "" : "s"} · ` +
    `${mainEvents.length} events and ${configCount} configuration changes · ` +
    `telemetry: ${times.length} samples (every 0.1 s)`;
  if (data.summary) {
    document.getElementById("summary-section").hidden = false;
    document.getElementById("summary").textContent = data.summary.replace(/^\n+/, "");
  }

  // ---- timeline ----
  const OWN_FIELDS = new Set(["t", "event", "vessel", "alt", "airspeed"]);
  const body = document.querySelector("#timeline tbody");
  for (const e of data.events) {
    const row = el("tr", { "data-event": e.event, "data-vessel": e.vessel, "data-t": String(e.t) });
    if (e.event === "config") row.className = "config";
    const details = Object.entries(e)
      .filter(([k, v]) => !OWN_FIELDS.has(k) && v !== "")
      .map(([k, v]) => `${k}=${typeof v === "number" ? +v.toPrecision(6) : v}`)
      .join("  ");
    const cells = [fixed(e.t, 2), e.event, e.vessel, fixed(e.alt, 0), fixed(e.airspeed, 1), details];
    cells.forEach((text, i) => row.appendChild(el("td", i === 1 ? { class: "ev-" + e.event } : {}, text)));
    body.appendChild(row);
  }
  if (data.events.length === 0) body.appendChild(el("tr", {}, "")).appendChild(el("td", { colspan: 6 }, "No events."));
  document.getElementById("config-count").textContent = String(configCount);
  const showConfig = document.getElementById("show-config");
  showConfig.addEventListener("change", () => document.getElementById("timeline").classList.toggle("show-config", showConfig.checked));

  // ---- chart drawing ----
  // Vertical lines at the events, labelled where there is room: the events that change the
  // flight most are labelled first.
  const LABEL_ORDER = ["touchdown", "crash", "detached", "deleted", "created", "attached", "warning", "key", "navmode", "focus"];
  const labelRank = (e) => (LABEL_ORDER.includes(e.event) ? LABEL_ORDER.indexOf(e.event) : LABEL_ORDER.length);
  function eventLines(events) {
    const byRank = [...events].sort((a, b) => labelRank(a) - labelRank(b) || a.t - b.t);
    return {
      hooks: {
        draw: [(u) => {
          const ctx = u.ctx, { left, top, width, height } = u.bbox, px = devicePixelRatio || 1;
          const xOf = (e) => Math.round(u.valToPos(e.t, "x", true));
          const inside = (x) => x >= left && x <= left + width;
          ctx.save();
          ctx.beginPath();
          ctx.rect(left, top, width, height);
          ctx.clip();
          ctx.lineWidth = px;
          ctx.setLineDash([4 * px, 3 * px]);
          for (const e of events) {
            const x = xOf(e);
            if (!inside(x)) continue;
            ctx.strokeStyle = EVENT_COLOURS[e.event] || "#999";
            ctx.beginPath();
            ctx.moveTo(x, top);
            ctx.lineTo(x, top + height);
            ctx.stroke();
          }
          ctx.font = `${10 * px}px sans-serif`;
          ctx.textAlign = "left";
          ctx.textBaseline = "bottom"; // the label runs down the right of its line
          const labelled = [];
          for (const e of byRank) {
            const x = xOf(e);
            if (!inside(x) || labelled.some((l) => Math.abs(l - x) < 13 * px)) continue;
            labelled.push(x);
            ctx.save();
            ctx.translate(x + 3 * px, top + 4 * px);
            ctx.rotate(Math.PI / 2);
            ctx.fillStyle = EVENT_COLOURS[e.event] || "#999";
            ctx.fillText(`${eventName(e)} ${e.vessel}`.slice(0, 40), 0, 0);
            ctx.restore();
          }
          ctx.restore();
        }],
      },
    };
  }

  // Horizontal lines at fixed values of the y scale, with their labels.
  function levelLines(levels) {
    return {
      hooks: {
        draw: [(u) => {
          const ctx = u.ctx, { left, width } = u.bbox, px = devicePixelRatio || 1;
          ctx.save();
          for (const l of levels) {
            const y = Math.round(u.valToPos(l.value, "y", true));
            ctx.strokeStyle = l.colour;
            ctx.fillStyle = l.colour;
            ctx.lineWidth = 2 * px;
            ctx.setLineDash([8 * px, 4 * px]);
            ctx.beginPath();
            ctx.moveTo(left, y);
            ctx.lineTo(left + width, y);
            ctx.stroke();
            ctx.font = `bold ${11 * px}px sans-serif`;
            ctx.textAlign = "right";
            ctx.textBaseline = "bottom";
            ctx.fillText(l.label, left + width - 4 * px, y - 3 * px);
          }
          ctx.restore();
        }],
      },
    };
  }

  function figure(id, title, caption, where = "charts") {
    const fig = el("figure", { id: "chart-" + id, "data-chart": id });
    fig.appendChild(el("h3", {}, title));
    if (caption) fig.appendChild(el("figcaption", {}, caption));
    document.getElementById(where).appendChild(fig);
    return fig;
  }

  // A chart this run has nothing for: a short note below the others.
  function skipped(id, title, why) {
    const fig = figure(id, title, undefined, "absent");
    fig.classList.add("skipped");
    fig.appendChild(el("p", { class: "note" }, why));
  }

  // series: [{label, values, colour, decimals, scale ("y" or "y2"), dash}]
  function chart(id, title, caption, x, series, opts) {
    const fig = figure(id, title, caption);
    const holder = el("div", { class: "plot" });
    fig.appendChild(holder);
    const scales = { x: { time: false }, y: opts.yRange ? { range: opts.yRange } : {} };
    const axes = [{ label: "time (s)" }, { label: opts.yLabel, size: 60 }];
    if (opts.y2Label) {
      scales.y2 = {};
      axes.push({ scale: "y2", label: opts.y2Label, side: 1, size: 60, grid: { show: false } });
    }
    const plot = new uPlot({
      width: Math.max(300, fig.clientWidth - 2),
      height: CHART_HEIGHT,
      scales,
      axes,
      cursor: { sync: { key: "quarn-time" } },
      legend: { live: true },
      series: [
        { label: "t (s)", value: (u, v) => fixed(v, 1) },
        ...series.map((s) => ({
          label: s.label,
          stroke: s.colour,
          width: s.width || 1.5,
          dash: s.dash,
          paths: s.stepped ? uPlot.paths.stepped({ align: 1 }) : undefined,
          scale: s.scale || "y",
          spanGaps: false,
          points: { show: false },
          value: (u, v) => fixed(v, s.decimals),
        })),
      ],
      plugins: [eventLines(opts.events || mainEvents), levelLines(opts.levels || [])],
    }, [x, ...series.map((s) => s.values)], holder);
    fig.dataset.points = String(series.reduce((n, s) => n + s.values.filter((v) => v !== null).length, 0));
    charts.push({ id, plot, figure: fig });
  }

  // One series per vessel that has anything in the column, optionally scaled.
  function perVessel(column, decimals, factor = 1, keep = () => true) {
    return vessels
      .filter((v) => keep(v))
      .map((v) => ({
        label: v.name,
        colour: v.colour,
        decimals,
        values: v.columns[column].map((x) => (x === null ? null : x * factor)),
      }));
  }

  // ---- the charts ----
  if (times.length === 0 || vessels.length === 0) {
    skipped("flight", "Flight", "This run wrote no telemetry.");
  } else {
    chart("altitude", "Altitude", "Height above the ground, every vessel; dashed lines mark the events.", times,
      perVessel("alt", 3, 0.001), { yLabel: "altitude (km)" });
    chart("airspeed", "Airspeed", "Speed relative to the air.", times,
      perVessel("airspeed", 1), { yLabel: "airspeed (m/s)" });
    chart("vspeed", "Vertical speed", "Upward positive.", times,
      perVessel("vspeed", 2), { yLabel: "vertical speed (m/s)" });

    const capsule = byClass(CAPSULE_CLASS);
    if (capsule) {
      const drag = capsule.columns.drag;
      const peak = drag.reduce((m, v) => (v !== null && v > m ? v : m), 0);
      chart("capsule-drag", `Entry capsule (${capsule.name}): drag`,
        `Peak ${fixed(peak / 1000, 1)} kN; the capsule breaks up above ${BREAK_UP_DRAG / 1000} kN.`, times,
        [{ label: "drag", colour: capsule.colour, decimals: 2, values: drag.map((v) => (v === null ? null : v / 1000)) }],
        {
          yLabel: "drag (kN)",
          yRange: (u, min, max) => [0, Math.max(max, BREAK_UP_DRAG / 1000) * 1.08],
          levels: [{ value: BREAK_UP_DRAG / 1000, label: `break-up ${BREAK_UP_DRAG / 1000} kN`, colour: "#d62728" }],
        });
      // the drag slows the capsule and everything it still carries
      const decel = drag.map((d, i) => {
        const m = capsule.columns.mass[i] + capsule.columns.carried[i];
        return d === null || !m ? null : d / m / STANDARD_GRAVITY;
      });
      chart("capsule-decel", `Entry capsule (${capsule.name}): deceleration by drag`,
        "Drag divided by the mass of the capsule and what it carries (the lander until its release), in Earth g (9.81 m/s²).", times,
        [{ label: "deceleration", colour: capsule.colour, decimals: 2, values: decel }],
        { yLabel: "deceleration (g)" });
    } else {
      skipped("capsule", "Entry capsule", "No entry capsule flew in this run.");
    }

    const lander = byClass(LANDER_CLASS);
    if (lander) {
      const touchdown = mainEvents.find((e) => e.event === "touchdown" && e.vessel === lander.name);
      const firstIndex = lander.present.indexOf(true);
      const end = touchdown ? touchdown.t + AFTER_TOUCHDOWN : times[lander.last];
      const start = Math.max(times[firstIndex], (touchdown ? touchdown.t : end) - LAST_MINUTE);
      let i0 = times.findIndex((t) => t >= start - 1e-9);
      let i1 = times.findIndex((t) => t > end + 1e-9);
      if (i1 < 0) i1 = times.length;
      const slice = (values) => values.slice(i0, i1);
      const x = slice(times);
      const when = touchdown
        ? `the last ${LAST_MINUTE} s before its touchdown at t = ${fixed(touchdown.t, 1)} s (green line), and ${AFTER_TOUCHDOWN} s after`
        : `its last ${fixed(end - start, 0)} s of telemetry (it did not touch down)`;
      const landerEvents = mainEvents.filter((e) => e.vessel === lander.name);
      // the clusters pulse faster than a minute's chart can show, so their mean over a few
      // seconds is drawn over the levels themselves
      const CLUSTER_COLOURS = [[31, 119, 180], [255, 127, 14], [44, 160, 44]];
      const MEAN_WINDOW = 3; // s, centred
      const windowMean = (values) => values.map((v, i) => {
        if (v === null) return null;
        let sum = 0, count = 0;
        for (let j = 0; j < values.length; j++)
          if (values[j] !== null && Math.abs(x[j] - x[i]) <= MEAN_WINDOW / 2 + 1e-9) { sum += values[j]; count++; }
        return sum / count;
      });
      chart("lander-clusters", `Lander (${lander.name}): engine clusters`,
        `Thrust level of each of the three clusters over ${when}. Thin: the level at each sample; ` +
        `bold: its mean over ${MEAN_WINDOW} s. Drag across the chart to zoom in on the pulses.`, x,
        ["thr0", "thr1", "thr2"].flatMap((c, k) => {
          const rgb = CLUSTER_COLOURS[k].join(",");
          const level = slice(lander.columns[c]);
          return [
            { label: `cluster ${k + 1}`, colour: `rgba(${rgb},0.35)`, width: 1, stepped: true, decimals: 3, values: level },
            { label: `cluster ${k + 1}, ${MEAN_WINDOW} s mean`, colour: `rgb(${rgb})`, width: 2.5, decimals: 3, values: windowMean(level) },
          ];
        }),
        { yLabel: "level (0 to 1)", yRange: [0, 1.05], events: landerEvents });
      chart("lander-descent", `Lander (${lander.name}): height and descent rate`, `Over ${when}. The descent rate is the downward speed.`, x,
        [
          { label: "height (m)", colour: "#1f77b4", decimals: 1, values: slice(lander.columns.alt) },
          { label: "descent rate (m/s)", colour: "#d62728", decimals: 2, scale: "y2",
            values: slice(lander.columns.vspeed).map((v) => (v === null ? null : -v)) },
        ],
        { yLabel: "height above the ground (m)", y2Label: "descent rate (m/s)", events: landerEvents });
    } else {
      skipped("lander", "Lander", "No lander flew in this run.");
    }

    chart("mass", "Mass", "Each vessel's mass, propellant included.", times, perVessel("mass", 1), { yLabel: "mass (kg)" });
    const withPropellant = (v) => v.columns.propellant.some((p) => p !== null && p > 0);
    if (vessels.some(withPropellant)) {
      chart("propellant", "Propellant", "Vessels that carry propellant.", times,
        perVessel("propellant", 2, 1, withPropellant), { yLabel: "propellant (kg)" });
    } else {
      skipped("propellant", "Propellant", "No vessel in this run carries propellant.");
    }
  }

  // ---- key to the event lines ----
  const kinds = [...new Set(mainEvents.map((e) => e.event))];
  const key = document.getElementById("event-key");
  key.appendChild(document.createTextNode("Dashed lines mark events: "));
  kinds.forEach((k, i) => {
    const swatch = el("span", { class: "swatch" }, k);
    swatch.style.color = EVENT_COLOURS[k] || "#999";
    key.appendChild(swatch);
    if (i + 1 < kinds.length) key.appendChild(document.createTextNode(" · "));
  });
  key.appendChild(document.createTextNode(". Move the pointer over a chart to read its values; drag to zoom, double-click to zoom out."));

  // ---- head-up displays, as drawn on a 1024 × 768 screen ----
  const hud = document.getElementById("hud");
  if (data.huds.length === 0) {
    hud.appendChild(el("p", { class: "note" }, data.focus
      ? `No vessel drew anything on its head-up display while it had the focus (${data.focus} has it at the end).`
      : "No vessel had the focus."));
  }
  const NS = "http://www.w3.org/2000/svg";
  for (const shot of data.huds) {
    const atEnd = shot.vessel === data.focus && shot.t === data.end;
    const fig = el("figure", { class: "hud-shot" });
    fig.appendChild(el("h3", {}, shot.vessel));
    fig.appendChild(el("figcaption", {}, atEnd
      ? `At the end of the run, t = ${fixed(shot.t, 1)} s.`
      : `As it last drew it while it had the focus, t = ${fixed(shot.t, 1)} s.`));
    const svg = document.createElementNS(NS, "svg");
    svg.setAttribute("viewBox", `0 0 ${HUD_WIDTH} ${HUD_HEIGHT}`);
    svg.setAttribute("class", "hud-screen");
    svg.setAttribute("role", "img");
    svg.setAttribute("aria-label", `head-up display of ${shot.vessel}`);
    svg.dataset.vessel = shot.vessel;
    svg.dataset.t = String(shot.t);
    const bg = document.createElementNS(NS, "rect");
    bg.setAttribute("width", HUD_WIDTH);
    bg.setAttribute("height", HUD_HEIGHT);
    bg.setAttribute("fill", "#000");
    svg.appendChild(bg);
    for (const [x, y, colour, text] of shot.texts) {
      const t = document.createElementNS(NS, "text");
      t.setAttribute("x", x);
      t.setAttribute("y", y);
      t.setAttribute("fill", colour);
      t.setAttribute("font-size", HUD_FONT);
      t.setAttribute("dominant-baseline", "hanging"); // (x, y) is the text's top left
      t.textContent = text;
      svg.appendChild(t);
    }
    fig.appendChild(svg);
    hud.appendChild(fig);
  }

  // ---- charts follow the page's width ----
  let pending = false;
  window.addEventListener("resize", () => {
    if (pending) return;
    pending = true;
    requestAnimationFrame(() => {
      pending = false;
      for (const c of charts) c.plot.setSize({ width: Math.max(300, c.figure.clientWidth - 2), height: CHART_HEIGHT });
    });
  });

  // for the page's own test
  window.quarnReport = { charts: charts.map((c) => c.id), vessels: vessels.map((v) => v.name) };
})();
