#include "tools/output/SvgChart.h"

#include "tools/output/MarkupText.h"
#include "tools/output/OutputFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace korvane {
namespace {

std::string svgText(const std::string& bytes)
{
    return markupText(bytes, Markup::Svg);
}

// Colours that stay apart for colour-blind readers (Okabe and Ito), then more.
const char* const kBandColours[] = {"#0072B2", "#E69F00", "#009E73", "#CC79A7", "#56B4E9",
                                    "#D55E00", "#F0E442", "#999999", "#7F3C8D", "#11A579"};
const char* const kScoreColour = "#C0392B";
const char* const kRateColour = "#111111";
const char* const kInk = "#222222";
const char* const kGrid = "#DDDDDD";
const char* const kFont = "DejaVu Sans, Verdana, Arial, Helvetica, sans-serif";

std::string num(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", v);
    return text;
}

struct Frame {
    double left, top, width, height; // the plot area
};

class Svg {
public:
    void line(double x1, double y1, double x2, double y2, const char* colour, double width)
    {
        out += "  <line x1=\"" + num(x1) + "\" y1=\"" + num(y1) + "\" x2=\"" + num(x2) +
               "\" y2=\"" + num(y2) + "\" stroke=\"" + colour + "\" stroke-width=\"" +
               num(width) + "\"/>\n";
    }
    void rect(double x, double y, double w, double h, const char* fill, const std::string& tip)
    {
        out += "  <rect x=\"" + num(x) + "\" y=\"" + num(y) + "\" width=\"" + num(w) +
               "\" height=\"" + num(h) + "\" fill=\"" + fill + "\"";
        out += tip.empty() ? "/>\n" : "><title>" + svgText(tip) + "</title></rect>\n";
    }
    // anchor: start, middle or end; rotate: degrees about the text's point; halo: a white
    // edge that keeps the text readable over bars and lines.
    void text(double x, double y, const std::string& s, double size, const char* anchor,
              const char* colour = kInk, const char* weight = "normal", int rotate = 0,
              bool halo = false)
    {
        out += "  <text x=\"" + num(x) + "\" y=\"" + num(y) + "\" font-size=\"" + num(size) +
               "\" text-anchor=\"" + anchor + "\" fill=\"" + colour + "\"";
        if (halo)
            out += " stroke=\"#FFFFFF\" stroke-width=\"3\" stroke-linejoin=\"round\" "
                   "paint-order=\"stroke\"";
        if (std::string(weight) != "normal")
            out += std::string(" font-weight=\"") + weight + "\"";
        if (rotate)
            out += " transform=\"rotate(" + std::to_string(rotate) + " " + num(x) + " " + num(y) +
                   ")\"";
        out += ">" + svgText(s) + "</text>\n";
    }
    std::string out;
};

std::string startLabel(const TourTable& t, const TourRow& row)
{
    return formatOleDate(tourStart(row.slot), t.oneDay() ? "%H:%M" : "%d.%m %H:%M");
}

} // namespace

long niceStep(double value)
{
    long power = 1;
    while (true) {
        for (long m : {1L, 2L, 5L})
            if (m * power >= value)
                return m * power;
        power *= 10;
    }
}

namespace {

// Where everything goes: the plot area, a slot per tour, and the two value axes.
struct ChartLayout {
    std::size_t tours = 0;
    double slotWidth = 0;
    Frame f{};
    double width = 0, height = 0;
    long steps = 0, qsoStep = 0, scoreStep = 0;
    double qsoTop = 0, scoreTop = 0;

    double yQsos(double v) const { return f.top + f.height - v / qsoTop * f.height; }
    double yScore(double v) const { return f.top + f.height - v / scoreTop * f.height; }
    double xCentre(std::size_t i) const { return f.left + slotWidth * (i + 0.5); }
};

ChartLayout chartLayout(const TourTable& t)
{
    ChartLayout c;
    const std::size_t n = c.tours = t.rows.size();
    // Bars at least 48 px apart up to 15 tours, then the chart about 1100 px wide.
    c.slotWidth =
        n <= 15 ? std::max(48.0, 720.0 / std::max<std::size_t>(n, 1)) : std::max(14.0, 1100.0 / n);
    c.f = Frame{78.0, 104.0, c.slotWidth * static_cast<double>(std::max<std::size_t>(n, 1)), 300.0};
    c.width = c.f.left + c.f.width + 86.0;
    c.height = c.f.top + c.f.height + 80.0;

    int maxQsos = 0, maxScore = 0;
    for (const TourRow& r : t.rows) {
        maxQsos = std::max(maxQsos, r.total);
        maxScore = std::max(maxScore, r.score);
    }
    // Both axes share the grid: the same number of steps, each a round number, and one
    // step more when the highest bar or point would leave no room for its label.
    const int qsoPeak = std::max(1, maxQsos), scorePeak = std::max(1, maxScore);
    c.qsoStep = niceStep(qsoPeak / 8.0);
    c.steps = (qsoPeak + c.qsoStep - 1) / c.qsoStep;
    c.scoreStep = niceStep(scorePeak / static_cast<double>(c.steps));
    if (qsoPeak > 0.94 * c.qsoStep * c.steps || scorePeak > 0.94 * c.scoreStep * c.steps)
        ++c.steps;
    c.qsoTop = static_cast<double>(c.qsoStep * c.steps);
    c.scoreTop = static_cast<double>(c.scoreStep * c.steps);
    return c;
}

// The title and a line of totals under it.
void drawHeading(Svg& svg, const ChartLayout& c, const TourTable& t, const std::string& title)
{
    const std::size_t n = c.tours;
    const TourRow total = t.totals();
    svg.text(c.width / 2, 28, title, 18, "middle", kInk, "bold");
    svg.text(c.width / 2, 50,
             std::to_string(total.total) + " QSOs in " + std::to_string(n) +
                 (n == 1 ? " tour, " : " tours, ") +
                 std::to_string(total.newCalls) + " calls, " + std::to_string(total.refused) +
                 " repeats refused, score " + std::to_string(total.score),
             12.5, "middle", "#555555");
}

// One swatch per band, then the rate line and the score line.
void drawLegend(Svg& svg, const ChartLayout& c, const TourTable& t)
{
    std::vector<std::pair<std::string, std::size_t>> items; // label, band
    for (std::size_t b = 0; b < t.bands.size(); ++b)
        items.push_back({bandLabel(t.bands[b]), b});
    double legendWidth = 0;
    for (const auto& item : items)
        legendWidth += 26 + 7.5 * item.first.size() + 18;
    legendWidth += 30 + 7.5 * 5 + 18 + 30 + 7.5 * 15;
    double x = std::max(c.f.left, (c.width - legendWidth) / 2);
    const double y = 76;
    for (const auto& [label, b] : items) {
        svg.rect(x, y - 10, 14, 14, kBandColours[b % std::size(kBandColours)], "");
        svg.text(x + 20, y + 1.5, label, 12.5, "start");
        x += 26 + 7.5 * label.size() + 18;
    }
    svg.line(x, y - 3, x + 24, y - 3, kRateColour, 1.5);
    svg.text(x + 30, y + 1.5, "QSOs per 10 min", 12.5, "start");
    x += 30 + 7.5 * 15 + 18;
    svg.line(x, y - 3, x + 24, y - 3, kScoreColour, 2.5);
    svg.out += "  <circle cx=\"" + num(x + 12) + "\" cy=\"" + num(y - 3) + "\" r=\"3.5\" fill=\"" +
               kScoreColour + "\"/>\n";
    svg.text(x + 30, y + 1.5, "Score", 12.5, "start");
}

// The grid and both value axes: QSOs on the left, the score on the right.
void drawAxes(Svg& svg, const ChartLayout& c)
{
    const Frame& f = c.f;
    for (long i = 0; i <= c.steps; ++i) {
        const double y = c.yQsos(static_cast<double>(i * c.qsoStep));
        svg.line(f.left, y, f.left + f.width, y, i == 0 ? kInk : kGrid, 1);
        svg.text(f.left - 8, y + 4, std::to_string(i * c.qsoStep), 11.5, "end");
        svg.text(f.left + f.width + 8, y + 4, std::to_string(i * c.scoreStep), 11.5, "start",
                 kScoreColour);
    }
    svg.line(f.left, f.top, f.left, f.top + f.height, kInk, 1);
    svg.line(f.left + f.width, f.top, f.left + f.width, f.top + f.height, kScoreColour, 1);
    svg.text(22, f.top + f.height / 2, "QSOs per tour", 13, "middle", kInk, "normal", -90);
    svg.text(c.width - 18, f.top + f.height / 2, "Score after the tour", 13, "middle", kScoreColour,
             "normal", 90);
}

// Bars, stacked by band in the plug-in's band order from the bottom up, each tour's
// total over it and its start under it where there is room.
void drawBars(Svg& svg, const ChartLayout& c, const TourTable& t)
{
    const Frame& f = c.f;
    const double barWidth = std::min(c.slotWidth * 0.64, 64.0);
    const double labelWidth = t.oneDay() ? 44.0 : 80.0;
    const std::size_t labelEvery = static_cast<std::size_t>(std::ceil(labelWidth / c.slotWidth));
    for (std::size_t i = 0; i < c.tours; ++i) {
        const TourRow& row = t.rows[i];
        double base = 0;
        for (std::size_t b = 0; b < t.bands.size(); ++b) {
            const int q = t.bandTotal(row, b);
            if (q == 0)
                continue;
            const double y1 = c.yQsos(base), y2 = c.yQsos(base + q);
            svg.rect(c.xCentre(i) - barWidth / 2, y2, barWidth, y1 - y2,
                     kBandColours[b % std::size(kBandColours)],
                     "Tour " + std::to_string(tourNumber(row.slot)) + " (" + startLabel(t, row) +
                         " UTC), " + bandLabel(t.bands[b]) + ": " + std::to_string(q) + " QSOs");
            base += q;
        }
        if (c.slotWidth >= 24 && row.total > 0)
            svg.text(c.xCentre(i), c.yQsos(row.total) - 5, std::to_string(row.total), 11, "middle",
                     "#444444");
        if (i % labelEvery == 0) {
            svg.line(c.xCentre(i), f.top + f.height, c.xCentre(i), f.top + f.height + 5, kInk, 1);
            svg.text(c.xCentre(i), f.top + f.height + 19, startLabel(t, row), 11.5, "middle");
            if (labelEvery == 1)
                svg.text(c.xCentre(i), f.top + f.height + 33, "tour " + std::to_string(tourNumber(row.slot)),
                         10, "middle", "#777777");
        }
    }
    svg.text(f.left + f.width / 2, f.top + f.height + 58, "Tour start (UTC, half hours)", 13,
             "middle");
}

// QSOs per 10 minutes: three steps across each tour's slot, broken where the table
// leaves out a long gap.
void drawRateSteps(Svg& svg, const ChartLayout& c, const TourTable& t, const QsoRates& rates)
{
    std::string steps10;
    for (std::size_t i = 0; i < c.tours; ++i) {
        if (i > 0 && t.rows[i].slot != t.rows[i - 1].slot + 1)
            steps10 += "\"/>\n  <polyline fill=\"none\" stroke=\"" + std::string(kRateColour) +
                       "\" stroke-width=\"1.5\" points=\"";
        for (int part = 0; part < 3; ++part) {
            const EpochMinute first = static_cast<EpochMinute>(t.rows[i].slot) * kMinutesPerTour + part * 10;
            const auto found = rates.perTenMinutes.find(first);
            const double y = c.yQsos(found == rates.perTenMinutes.end() ? 0 : found->second);
            const double x0 = c.f.left + c.slotWidth * (i + part / 3.0);
            steps10 += num(x0) + "," + num(y) + " " + num(x0 + c.slotWidth / 3) + "," + num(y) + " ";
        }
    }
    if (c.tours > 0)
        svg.out += "  <polyline fill=\"none\" stroke=\"" + std::string(kRateColour) +
                   "\" stroke-width=\"1.5\" points=\"" + steps10 + "\"/>\n";
}

// The running score over the bars, a point per tour and the last score written.
void drawScoreLine(Svg& svg, const ChartLayout& c, const TourTable& t)
{
    const std::size_t n = c.tours;
    if (n == 0)
        return;
    std::string points;
    for (std::size_t i = 0; i < n; ++i)
        points += (i ? " " : "") + num(c.xCentre(i)) + "," + num(c.yScore(t.rows[i].score));
    // A white casing under the line keeps it apart from bars of any colour.
    svg.out += "  <polyline points=\"" + points +
               "\" fill=\"none\" stroke=\"#FFFFFF\" stroke-width=\"6\" stroke-linejoin=\"round\"/>\n";
    svg.out += "  <polyline points=\"" + points + "\" fill=\"none\" stroke=\"" + kScoreColour +
               "\" stroke-width=\"2.5\" stroke-linejoin=\"round\"/>\n";
    for (std::size_t i = 0; i < n; ++i) {
        const TourRow& row = t.rows[i];
        svg.out += "  <circle cx=\"" + num(c.xCentre(i)) + "\" cy=\"" + num(c.yScore(row.score)) +
                   "\" r=\"3.5\" fill=\"" + kScoreColour + "\"><title>" +
                   svgText("Score after tour " + std::to_string(tourNumber(row.slot)) + ": " +
                           std::to_string(row.score)) +
                   "</title></circle>\n";
    }
    const TourRow& last = t.rows.back();
    svg.text(c.xCentre(n - 1) + 8, c.yScore(last.score) - 8, std::to_string(last.score), 12.5,
             "start", kScoreColour, "bold", 0, true);
}

} // namespace

std::string tourChartSvg(const TourTable& t, const std::string& title, const QsoRates& rates)
{
    const ChartLayout c = chartLayout(t);
    Svg svg;
    svg.out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
              num(c.width) + "\" height=\"" + num(c.height) + "\" viewBox=\"0 0 " + num(c.width) + " " +
              num(c.height) + "\" font-family=\"" + kFont + "\">\n";
    svg.rect(0, 0, c.width, c.height, "#FFFFFF", "");
    drawHeading(svg, c, t, title);
    drawLegend(svg, c, t);
    drawAxes(svg, c);
    drawBars(svg, c, t);
    drawRateSteps(svg, c, t, rates);
    drawScoreLine(svg, c, t);
    svg.out += "</svg>\n";
    return svg.out;
}

} // namespace korvane
