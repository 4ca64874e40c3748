#include "api/plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/utf8.h"

namespace {

constexpr double WIDTH = 1000, HEIGHT = 640;
constexpr double LEFT = 70, RIGHT = 150, TOP = 70, BOTTOM = 130;
const char* const COLOURS[] = {"#4c72b0", "#dd8452", "#55a868", "#c44e52", "#8172b3",
                               "#937860", "#da8bc3", "#8c8c8c", "#ccb974", "#64b5cd"};
constexpr std::size_t NCOLOURS = sizeof COLOURS / sizeof COLOURS[0];

// TEXT as XML character data: the characters XML reserves written as
// entities, and what XML does not take (control characters, bytes that are
// not UTF-8, as in a name of an older Latin-1 file, U+FFFE and U+FFFF)
// shown as the replacement character.
std::string esc(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    char32_t cp = 0;
    const std::size_t n = utf8::character(std::string_view(text).substr(i), cp);
    if (n == 0 || utf8::isControl(cp) || cp == 0xFFFE || cp == 0xFFFF) {
      utf8::append(out, utf8::REPLACEMENT);
      i += std::max<std::size_t>(n, 1);
      continue;
    }
    switch (cp) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&apos;";
        break;
      default:
        out.append(text, i, n);
    }
    i += n;
  }
  return out;
}

std::string num(double x) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", x);
  return text;
}

// A tick step of about a PARTS-th of SPAN: 1, 2 or 5 times a power of ten.
double tickStep(double span, double parts = 5) {
  const double raw = span / parts;
  const double power = std::pow(10, std::floor(std::log10(raw)));
  for (const double f : {1.0, 2.0, 5.0})
    if (f * power >= raw) return f * power;
  return 10 * power;
}

// The rule of a run in words: its win sets as the report shows them.
std::string ruleText(const RUNTYP& R) {
  std::string text;
  for (int w = 1; w <= R.THRES && w <= 10; ++w) {
    text += w > 1 ? "; " : "";
    for (int d = 1; d <= R.MM; ++d)
      text += (d > 1 ? " * " : "") + std::string("[") + std::to_string(R.G[w][d][1]) + "," +
              std::to_string(R.G[w][d][2]) + "]";
  }
  return "win set" + std::string(R.THRES > 1 ? "s " : " ") + text;
}

struct CANVAS {
  std::string svg;
  double ymax = 1;
  double x0 = LEFT, x1 = WIDTH - RIGHT, y0 = TOP, y1 = HEIGHT - BOTTOM;

  explicit CANVAS(const std::string& title, const std::string& subtitle) {
    svg =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
        num(WIDTH) + "\" height=\"" + num(HEIGHT) + "\" viewBox=\"0 0 " + num(WIDTH) + " " +
        num(HEIGHT) +
        "\" font-family=\"sans-serif\" font-size=\"12\">\n"
        "<rect x=\"0\" y=\"0\" width=\"" +
        num(WIDTH) + "\" height=\"" + num(HEIGHT) +
        "\" fill=\"white\"/>\n"
        "<text x=\"" +
        num(WIDTH / 2) +
        "\" y=\"28\" text-anchor=\"middle\" font-size=\"17\" "
        "font-weight=\"bold\">" +
        esc(title) +
        "</text>\n"
        "<text x=\"" +
        num(WIDTH / 2) + "\" y=\"50\" text-anchor=\"middle\" font-size=\"13\">" + esc(subtitle) +
        "</text>\n";
  }
  double y(double v) const { return y1 - (v / ymax) * (y1 - y0); }
  // The value axis from 0 to the next tick above TOP, with grid lines.
  void valueAxis(double top, const std::string& label) {
    const double step = tickStep(top > 0 ? top : 1);
    ymax = std::ceil((top > 0 ? top : 1) / step - 1e-9) * step;
    for (double v = 0; v <= ymax + step / 2; v += step) {
      svg += "<line x1=\"" + num(x0) + "\" y1=\"" + num(y(v)) + "\" x2=\"" + num(x1) + "\" y2=\"" +
             num(y(v)) + "\" stroke=\"#dddddd\"/>\n";
      svg += "<text x=\"" + num(x0 - 6) + "\" y=\"" + num(y(v) + 4) + "\" text-anchor=\"end\">" +
             num(v) + "</text>\n";
    }
    svg += "<line x1=\"" + num(x0) + "\" y1=\"" + num(y0) + "\" x2=\"" + num(x0) + "\" y2=\"" +
           num(y1) + "\" stroke=\"black\"/>\n";
    svg += "<line x1=\"" + num(x0) + "\" y1=\"" + num(y1) + "\" x2=\"" + num(x1) + "\" y2=\"" +
           num(y1) + "\" stroke=\"black\"/>\n";
    svg += "<text transform=\"translate(18," + num((y0 + y1) / 2) +
           ") rotate(-90)\" text-anchor=\"middle\">" + esc(label) + "</text>\n";
  }
  std::string done() { return svg + "</svg>\n"; }
};

std::string titleOf(const CLISETTYP& set) {
  std::string names;
  for (const CLIRUNTYP& run : set.RUNS) {
    const int c = CLISHARECOLUMN(run);
    if (c < 0 && set.RUNS.size() > 1) continue;
    names += (names.empty() ? "" : ", ") + std::string(run.KIND->NAME) + " (" +
             run.KIND->TITLES[std::max(0, c)] + ")";
  }
  return names;
}

// Labels that would overlap are pooled into blocks centred on their
// targets' mean, block by block from the top (the pool of adjacent
// violators on target - rank * gap).
}  // namespace

std::vector<double> SPREADLABELS(const std::vector<double>& targets, double gap, double lo,
                                 double hi) {
  struct BLOCK {
    double sum = 0;  // of target - rank * gap over its labels
    std::size_t first = 0, count = 0;
    double at() const { return sum / static_cast<double>(count); }
  };
  std::vector<BLOCK> blocks;
  for (std::size_t i = 0; i < targets.size(); ++i) {
    blocks.push_back({targets[i] - static_cast<double>(i) * gap, i, 1});
    while (blocks.size() > 1 && blocks[blocks.size() - 2].at() > blocks.back().at()) {
      const BLOCK last = blocks.back();
      blocks.pop_back();
      blocks.back().sum += last.sum;
      blocks.back().count += last.count;
    }
  }
  const double top = hi - static_cast<double>(targets.size() - 1) * gap;
  std::vector<double> at(targets.size());
  for (const BLOCK& b : blocks)
    for (std::size_t i = b.first; i < b.first + b.count; ++i)
      at[i] = std::max(lo, std::min(b.at(), std::max(lo, top))) + static_cast<double>(i) * gap;
  return at;
}

namespace {

// Beyond PLOTBARS players, the largest PLOTBARS - 1 by weight share or
// index keep their bars, in their order, and the rest add up to one group.
void groupOthers(std::vector<std::vector<CLIROWTYP>>& rows, const std::vector<int>& columns) {
  std::vector<CLIROWTYP>& players = rows[0];
  if (players.size() <= PLOTBARS) return;
  auto size = [&](std::size_t p) {
    double v = players[p].SHARE;
    for (std::size_t k = 0; k < rows.size(); ++k)
      if (std::isfinite(rows[k][p].V[columns[k]])) v = std::max(v, rows[k][p].V[columns[k]]);
    return v;
  };
  std::vector<std::size_t> order(players.size());
  for (std::size_t p = 0; p < order.size(); ++p) order[p] = p;
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return size(a) > size(b); });
  std::vector<bool> kept(players.size(), false);
  for (std::size_t k = 0; k + 1 < PLOTBARS; ++k) kept[order[k]] = true;
  const std::size_t rest = players.size() - (PLOTBARS - 1);
  for (std::vector<CLIROWTYP>& table : rows) {
    CLIROWTYP others;
    others.LABEL = "others (" + std::to_string(rest) + ")";
    std::vector<CLIROWTYP> shown;
    for (std::size_t p = 0; p < table.size(); ++p) {
      if (kept[p]) {
        shown.push_back(table[p]);
        continue;
      }
      others.SHARE += table[p].SHARE;
      for (int c = 0; c < REPORTCOLUMNS; ++c)
        if (std::isfinite(table[p].V[c])) others.V[c] += table[p].V[c];
    }
    shown.push_back(others);
    table = std::move(shown);
  }
}

std::string barsOf(const CLISETTYP& set) {
  const RUNTYP& R = set.RUNS[0].R;
  CANVAS canvas(titleOf(set) + " and weight share", ruleText(R));
  std::vector<std::vector<CLIROWTYP>> rows;
  std::vector<int> columns;
  std::vector<std::string> series{"weight share"};
  // Of several indices those whose column is a share, on one scale with
  // the weight shares.
  std::vector<const CLIRUNTYP*> shown;
  for (const CLIRUNTYP& run : set.RUNS)
    if (set.RUNS.size() == 1 || CLISHARECOLUMN(run) >= 0) shown.push_back(&run);
  for (const CLIRUNTYP* run : shown) {
    rows.push_back(CLIROWS(*run));
    columns.push_back(std::max(0, CLISHARECOLUMN(*run)));
    series.push_back(std::string(run->KIND->NAME) + " " + run->KIND->TITLES[columns.back()]);
  }
  groupOthers(rows, columns);
  const std::vector<CLIROWTYP>& players = rows[0];
  double top = 0;
  for (std::size_t p = 0; p < players.size(); ++p) {
    top = std::max(top, players[p].SHARE);
    for (std::size_t k = 0; k < rows.size(); ++k)
      if (std::isfinite(rows[k][p].V[columns[k]])) top = std::max(top, rows[k][p].V[columns[k]]);
  }
  canvas.valueAxis(top, "share");
  const double group =
      (canvas.x1 - canvas.x0) / static_cast<double>(std::max<std::size_t>(1, players.size()));
  const double bar = group * 0.8 / static_cast<double>(series.size());
  // The names, slanted, need some LABELGAP pixels apart: of a large body
  // every so many are named (each bar names its player in its title).
  constexpr double LABELGAP = 14;
  const auto every = static_cast<std::size_t>(std::max(1.0, std::ceil(LABELGAP / group)));
  for (std::size_t p = 0; p < players.size(); ++p) {
    const double gx = canvas.x0 + group * static_cast<double>(p) + group * 0.1;
    for (std::size_t s = 0; s < series.size(); ++s) {
      const double v = s == 0 ? players[p].SHARE : rows[s - 1][p].V[columns[s - 1]];
      const double h = std::isfinite(v) ? std::max(0.0, canvas.y1 - canvas.y(v)) : 0;
      canvas.svg += "<rect class=\"" + std::string(s == 0 ? "share" : "bar") + "\" data-player=\"" +
                    esc(players[p].LABEL) + "\" x=\"" + num(gx + bar * static_cast<double>(s)) +
                    "\" y=\"" + num(canvas.y1 - h) + "\" width=\"" + num(bar) + "\" height=\"" +
                    num(h) + "\" fill=\"" + COLOURS[s % NCOLOURS] + "\"><title>" +
                    esc(players[p].LABEL + " " + series[s] + ": " + num(v)) + "</title></rect>\n";
    }
    if (p % every != 0) continue;
    const double lx = gx + group * 0.4, ly = canvas.y1 + 10;
    canvas.svg += "<text class=\"label\" x=\"" + num(lx) + "\" y=\"" + num(ly) +
                  "\" transform=\"rotate(60 " + num(lx) + " " + num(ly) + ")\">" +
                  esc(players[p].LABEL) + "</text>\n";
  }
  for (std::size_t s = 0; s < series.size(); ++s) {
    const double ly = canvas.y0 + 20 * static_cast<double>(s);
    canvas.svg += "<rect x=\"" + num(canvas.x1 + 15) + "\" y=\"" + num(ly - 10) +
                  "\" width=\"12\" height=\"12\" fill=\"" + COLOURS[s % NCOLOURS] + "\"/>\n";
    canvas.svg += "<text x=\"" + num(canvas.x1 + 32) + "\" y=\"" + num(ly) + "\">" +
                  esc(series[s]) + "</text>\n";
  }
  return canvas.done();
}

std::string linesOf(const std::vector<CLISETTYP>& sets) {
  const CLIRUNTYP& first = sets[0].RUNS[0];
  const int c = std::max(0, CLISHARECOLUMN(first));
  CANVAS canvas(
      std::string(first.KIND->NAME) + " (" + first.KIND->TITLES[c] + ") against the quota",
      "quota " + std::to_string(sets.front().QUOTA) + " to " + std::to_string(sets.back().QUOTA) +
          ": from " + ruleText(first.R) + " to " + ruleText(sets.back().RUNS[0].R));
  // values[player][quota]
  std::vector<std::string> labels;
  std::vector<std::vector<double>> values;
  for (std::size_t q = 0; q < sets.size(); ++q) {
    const std::vector<CLIROWTYP> rows = CLIROWS(sets[q].RUNS[0]);
    if (q == 0) {
      for (const CLIROWTYP& row : rows) labels.push_back(row.LABEL);
      values.assign(rows.size(), std::vector<double>(sets.size(), 0));
    }
    for (std::size_t p = 0; p < rows.size() && p < values.size(); ++p)
      values[p][q] = std::isfinite(rows[p].V[c]) ? rows[p].V[c] : 0;
  }
  // The strongest players by their largest value keep their own lines.
  std::vector<std::size_t> order(labels.size());
  for (std::size_t p = 0; p < order.size(); ++p) order[p] = p;
  auto peak = [&](std::size_t p) { return *std::max_element(values[p].begin(), values[p].end()); };
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return peak(a) > peak(b); });
  if (order.size() > PLOTLINES) {
    // The others as their mean, on the scale of the players shown.
    std::vector<double> others(sets.size(), 0);
    const std::size_t rest = order.size() - PLOTLINES + 1;
    for (std::size_t k = PLOTLINES - 1; k < order.size(); ++k)
      for (std::size_t q = 0; q < sets.size(); ++q)
        others[q] += values[order[k]][q] / static_cast<double>(rest);
    labels.push_back("others (mean of " + std::to_string(rest) + ")");
    values.push_back(others);
    order.resize(PLOTLINES - 1);
    order.push_back(values.size() - 1);
  }
  double top = 0;
  for (const std::size_t p : order) top = std::max(top, peak(p));
  canvas.valueAxis(top, first.KIND->TITLES[c]);
  const double lo = static_cast<double>(sets.front().QUOTA);
  const double span = std::max(1.0, static_cast<double>(sets.back().QUOTA) - lo);
  auto x = [&](double quota) { return canvas.x0 + (quota - lo) / span * (canvas.x1 - canvas.x0); };
  // The quota axis in the unit the range was typed in: percent of the
  // total, or votes; about ten ticks.
  const double total = static_cast<double>(sets[0].PERCENTOF);
  const double unit = total > 0 ? total / 100 : 1;
  const double step = tickStep(span / unit, 10);
  const int decimals = step >= 1 ? 0 : step >= 0.1 ? 1 : 2;
  for (double t = std::ceil(lo / unit / step - 1e-9) * step; t * unit <= lo + span + 1e-9;
       t += step) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f%s", decimals, t, total > 0 ? "%" : "");
    canvas.svg += "<line x1=\"" + num(x(t * unit)) + "\" y1=\"" + num(canvas.y1) + "\" x2=\"" +
                  num(x(t * unit)) + "\" y2=\"" + num(canvas.y1 + 5) + "\" stroke=\"black\"/>\n";
    canvas.svg += "<text class=\"tick\" x=\"" + num(x(t * unit)) + "\" y=\"" + num(canvas.y1 + 20) +
                  "\" text-anchor=\"middle\">" + text + "</text>\n";
  }
  canvas.svg += "<text x=\"" + num((canvas.x0 + canvas.x1) / 2) + "\" y=\"" + num(canvas.y1 + 45) +
                "\" text-anchor=\"middle\">" +
                (total > 0 ? "quota (% of " + std::to_string(sets[0].PERCENTOF) + ")" : "quota") +
                "</text>\n";
  // Labels at the lines' ends, each as near its line as it can be without
  // covering another.
  std::vector<std::pair<double, std::size_t>> ends;
  for (std::size_t k = 0; k < order.size(); ++k)
    ends.push_back({canvas.y(values[order[k]].back()), k});
  std::sort(ends.begin(), ends.end());
  std::vector<double> targets;
  for (const auto& end : ends) targets.push_back(end.first);
  const std::vector<double> placed = SPREADLABELS(targets, 13, canvas.y0, canvas.y1);
  for (std::size_t k = 0; k < order.size(); ++k) {
    const std::size_t p = order[k];
    std::string points;
    for (std::size_t q = 0; q < sets.size(); ++q) {
      if (q > 0) points += ' ';
      points += num(x(static_cast<double>(sets[q].QUOTA)));
      points += ',';
      points += num(canvas.y(values[p][q]));
    }
    const char* colour = COLOURS[k % NCOLOURS];
    canvas.svg += "<polyline class=\"line\" data-player=\"" + esc(labels[p]) +
                  "\" fill=\"none\" stroke=\"" + colour + "\" stroke-width=\"2\" points=\"" +
                  points + "\"><title>" + esc(labels[p]) + "</title></polyline>\n";
  }
  // A label moved off its line's end is joined to it by a short stroke.
  for (std::size_t e = 0; e < ends.size(); ++e) {
    const auto [end, k] = ends[e];
    const char* colour = COLOURS[k % NCOLOURS];
    if (std::fabs(placed[e] - end) > 2)
      canvas.svg += "<line x1=\"" + num(canvas.x1) + "\" y1=\"" + num(end) + "\" x2=\"" +
                    num(canvas.x1 + 5) + "\" y2=\"" + num(placed[e]) + "\" stroke=\"" + colour +
                    "\"/>\n";
    canvas.svg += "<text class=\"end\" data-player=\"" + esc(labels[order[k]]) + "\" x=\"" +
                  num(canvas.x1 + 6) + "\" y=\"" + num(placed[e] + 4) + "\" fill=\"" + colour +
                  "\">" + esc(labels[order[k]]) + "</text>\n";
  }
  return canvas.done();
}

}  // namespace

std::string PLOTSVG(const std::vector<CLISETTYP>& SETS, bool SWEEP) {
  if (SETS.empty() || SETS[0].RUNS.empty()) return "";
  return SWEEP ? linesOf(SETS) : barsOf(SETS[0]);
}
