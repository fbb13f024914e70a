// The office's charts, drawn by Debian's Chart.js (loaded by the page as
// /lib/chart.min.js). A chart is made once per canvas and afterwards only
// given new data, so a refresh does not flicker. Without Chart.js the
// tables still tell everything; the charts are then left out.

const made = new Map();  // canvas → Chart

const COLOURS = ["#9aa7b4", "#f0b429", "#2f80ed", "#d64545", "#27ae60", "#8e6bbf", "#e67e22", "#16a085"];

export function chartsAvailable() { return typeof window.Chart === "function"; }

// Draws `values` (numbers) under `labels` on `canvas` as `type` ("bar",
// "doughnut", "line"); `label` names the series.
export function drawChart(canvas, type, labels, values, label) {
  if (!chartsAvailable()) return;
  const colours = type === "doughnut" ? labels.map((_, i) => COLOURS[i % COLOURS.length]) : COLOURS[2];
  const existing = made.get(canvas);
  if (existing) {
    existing.data.labels = labels;
    existing.data.datasets[0].data = values;
    existing.data.datasets[0].backgroundColor = colours;
    existing.update("none");
    return;
  }
  made.set(canvas, new window.Chart(canvas, {
    type,
    data: {labels, datasets: [{label, data: values, backgroundColor: colours, borderColor: type === "line" ? COLOURS[2] : undefined}]},
    options: {
      responsive: false, animation: false,
      plugins: {legend: {display: type === "doughnut", position: "right"}},
    },
  }));
}
