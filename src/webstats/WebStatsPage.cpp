#include "webstats/WebStatsPage.h"

#include <cstdio>
#include <string_view>

#include "core/Formatters.h"

namespace {

constexpr double kChartHeight = 260.0;
constexpr int kValues = 96;  // 24 hours of quarters

// The hour labels: R1 = 1-6, R2 = 7-12, R3 = 13-18, R4 = 19-0. R2 and R4 are shaded.
constexpr int kRangeFirst[4] = {1, 7, 13, 19};
constexpr int kRangeLast[4] = {6, 12, 18, 0};

// Locale texts may hold any character; the page declares ISO-8859-1, so everything beyond
// ASCII is written as a character reference, which reads the same in any encoding.
std::string HtmlText(std::string_view utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            switch (lead) {
                case '&':
                    out += "&amp;";
                    break;
                case '<':
                    out += "&lt;";
                    break;
                case '>':
                    out += "&gt;";
                    break;
                default:
                    out.push_back(static_cast<char>(lead));
            }
            ++i;
            continue;
        }
        int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        unsigned long code = length == 1 ? 0xFFFD : lead & (0x7Fu >> length);
        for (int k = 1; k < length; ++k) {
            const unsigned char next =
                i + k < utf8.size() ? static_cast<unsigned char>(utf8[i + k]) : 0;
            if ((next & 0xC0) != 0x80) {
                code = 0xFFFD;  // broken sequence: one replacement, then go on after it
                length = k;
                break;
            }
            code = (code << 6) | (next & 0x3Fu);
        }
        char ref[16];
        std::snprintf(ref, sizeof ref, "&#%lu;", code);
        out += ref;
        i += static_cast<std::size_t>(length);
    }
    return out;
}

std::string Number(int value) {
    return std::to_string(value);
}

void FigureRow(std::string& page, std::string_view label, const std::string& value) {
    page += label;
    page += "<td><div align=\"right\">";
    page += value;
    page += "</div></td>\n";
    page += "</tr>\n";
}

// Downloaded, uploaded and total with "<tr>\n" after each, as the figure tables open with them.
void AmountRows(std::string& page, const TrafficPair& amounts) {
    FigureRow(page, "<td>Downloaded: <br></td>\n", SizeText(amounts.download));
    page += "<tr>\n";
    FigureRow(page, "<td>Uploaded:<br></td>\n", SizeText(amounts.upload));
    page += "<tr>\n";
    FigureRow(page, "<td>Total:</td>\n", SizeText(amounts.download + amounts.upload));
    page += "<tr>\n";
}

void SpeedRows(std::string& page, std::string_view downLabel, std::string_view upLabel,
               const TrafficPair& speeds) {
    FigureRow(page, downLabel, SpeedText(speeds.download));
    page += "<tr>\n";
    FigureRow(page, upLabel, SpeedText(speeds.upload));
}

void OpenFigureTable(std::string& page, std::string_view title) {
    page +=
        "<tr>\n"
        "<td><table width=\"100%\"  border=\"0\" cellpadding=\"5\" cellspacing=\"1\" "
        "bgcolor=\"#333333\">\n"
        "<tr>\n";
    page += title;
    page +=
        "</tr>\n"
        "<tr>\n"
        "<td valign=\"top\" bgcolor=\"#F4F1EC\"><table width=\"100%\"  border=\"0\" "
        "cellspacing=\"0\" cellpadding=\"0\">\n"
        "<tr>\n";
}

constexpr std::string_view kCloseFigureTable =
    "</table></td>\n"
    "</tr>\n"
    "</table></td>\n"
    "</tr>\n";

void ChartCell(std::string& page, const char* top, int topHeight, const char* bottom,
               int bottomHeight) {
    page += "<td><img src=\"";
    page += top;
    page += "\" width=\"3\" height=\"" + Number(topHeight) + "\"><br>\n";
    page += "<img src=\"";
    page += bottom;
    page += "\" width=\"3\" height=\"" + Number(bottomHeight) + "\"></td>\n";
}

void Chart(std::string& page, const WebStatsFigures& figures, int hour) {
    // Value i is quarter 4 - i % 4 of the hour i / 4 hours before the current one.
    QuarterAmount values[kValues];
    for (int i = 0; i < kValues; ++i) {
        const int valueHour = ((hour - i / 4) % 24 + 24) % 24;
        values[i] = figures.quarters[valueHour][3 - i % 4];
    }
    double max = 0.0;
    for (const QuarterAmount& value : values) {
        if (value.downloaded + value.uploaded > max) {
            max = value.downloaded + value.uploaded;
        }
    }

    page += "<td colspan=\"2\" bgcolor=\"#9DACBF\"><FONT size=2><STRONG>Max up+down: ";
    page += SizeText(max);
    page += "</STRONG></FONT></td>\n</tr>\n";
    page += "<tr valign=\"top\" bgcolor=\"#FFFFCC\">\n";
    page +=
        "\t<td valign=\"middle\" background=\"tallyglassbg.gif\">    <table width=\"288\" "
        "height=\"260\"  border=\"0\" cellpadding=\"0\" cellspacing=\"0\">\n";
    page += "<tr valign=\"bottom\">\n";

    // 23 hours: from the hour after the current one a day ago, then the rest of the current
    // block of six hours left empty.
    const int hoursLeftInBlock = (hour / 6 + 1) * 6 - hour;
    for (int i = kValues - 1 - 4 * hoursLeftInBlock; i >= 0; --i) {
        const BarHeights bars = ChartBarHeights(values[i], max);
        if (bars.download > bars.upload) {
            ChartCell(page, "d.gif", bars.download - bars.upload, "u.gif", bars.upload);
        } else {
            ChartCell(page, "u.gif", bars.upload - bars.download, "d.gif", bars.download);
        }
    }
    for (int i = 0; i < 4 * hoursLeftInBlock - 4; ++i) {
        ChartCell(page, "d.gif", 0, "u.gif", 0);
    }
    page += "</tr>\n</table></td>\n";
}

void Figures(std::string& page, const WebStatsFigures& figures, const LocaleTexts& texts) {
    page +=
        "<td rowspan=\"2\" valign=\"middle\"><table width=\"100%\"  border=\"0\" "
        "cellspacing=\"0\" cellpadding=\"3\">\n"
        "<tr>\n";
    page +=
        "\t<td><table width=\"100%\"  border=\"0\" cellpadding=\"5\" cellspacing=\"1\" "
        "bgcolor=\"#333333\">\n"
        "\t\t<tr>\n";
    const LocalDateTime& start = figures.start;
    page += "<td bgcolor=\"#9DACBF\">Since ";
    page += HtmlText(texts.TimeText(start.hour, start.minute));
    page += " ";
    page += HtmlText(texts.ShortDate(start.date));
    page += "</td>\n</tr>\n";
    page +=
        "<tr>\n"
        "<td bgcolor=\"#F4F1EC\"><table width=\"100%\"  border=\"0\" cellspacing=\"0\" "
        "cellpadding=\"0\">\n"
        "<tr>\n";
    AmountRows(page, figures.session);
    SpeedRows(page, "<td>Avg. speed down:<br></td>\n", "<td>Avg. speed up: </td>\n",
              figures.sessionAverage);
    page += kCloseFigureTable;

    OpenFigureTable(page, "<td bgcolor=\"#9DACBF\">Last hour</td>\n");
    AmountRows(page, figures.lastHour);
    SpeedRows(page, "<td>Avg. speed down:<br></td>\n", "<td>Avg. speed up: </td>\n",
              figures.lastHourSpeed);
    page += kCloseFigureTable;

    OpenFigureTable(page, "<td bgcolor=\"#9DACBF\">Last 5 minutes </td>\n");
    SpeedRows(page, "<td>Avg. speed down: <br></td>\n", "<td>Avg. speed up:<br></td>\n",
              figures.lastFiveMinutesSpeed);
    for (int i = 0; i < 3; ++i) {
        page += "</table></td>\n</tr>\n";
    }
}

void Labels(std::string& page, int hour, const LocaleTexts& texts) {
    page +=
        "<tr valign=\"top\" bgcolor=\"#FFFFCC\">\n"
        "<td valign=\"middle\"><table width=\"100%\"  border=\"0\" cellpadding=\"0\" "
        "cellspacing=\"0\" bgcolor=\"#CCCCCC\">\n"
        "<tr bgcolor=\"#FFFFCC\">\n";
    // The current block comes last: start with the block after it.
    const int block = hour / 6;
    for (int i = 1; i <= 4; ++i) {
        const int range = (block + i) % 4;
        page += range % 2 == 1 ? "<td width=\"25%\" bgcolor=\"#FFFFCC\"><div align=\"center\">"
                               : "<td width=\"25%\"><div align=\"center\">";
        page += HtmlText(texts.HourText(kRangeFirst[range]));
        page += "-";
        page += HtmlText(texts.HourText(kRangeLast[range]));
        page += "</div></td>\n";
    }
    page += "</tr>\n</table></td>\n</tr>\n";
}

}  // namespace

BarHeights ChartBarHeights(const QuarterAmount& amount, double max) {
    if (!(max > 0.0)) {
        return {};
    }
    // Each step rounded to double, as the page has always been drawn.
    const double inverse = 1.0 / max;
    const double down = amount.downloaded * inverse;
    const double up = amount.uploaded * inverse;
    return {static_cast<int>(down * kChartHeight), static_cast<int>(up * kChartHeight)};
}

std::string BuildWebStatsPage(const WebStatsFigures& figures, int hour, const LocaleTexts& texts) {
    std::string page;
    page.reserve(24000);
    page +=
        "<html>\n"
        "<head>\n"
        "<title>Tallyglass WebStats</title>\n"
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">\n"
        "<style type=\"text/css\">\n"
        "<!--\n"
        "body,td,th {\n"
        "font-family: Verdana, Arial, Helvetica, sans-serif;\n"
        "font-size: 9px;\n"
        "}\n"
        "-->\n"
        "</style>\n"
        "</head>\n"
        "<body>\n"
        "<table  border=\"0\" cellpadding=\"4\" cellspacing=\"1\" bgcolor=\"#666666\">\n"
        "<tr bgcolor=\"#FFFFCC\">\n";
    Chart(page, figures, hour);
    Figures(page, figures, texts);
    Labels(page, hour, texts);
    page +=
        "<tr bgcolor=\"#FFFFCC\">\n"
        "<td colspan=\"2\" bgcolor=\"#9DACBF\"><div align=\"center\">"
        "Made with Tallyglass, the network traffic meter</div></td>\n"
        "</tr>\n"
        "</table>\n"
        "<p>&nbsp;</p>\n"
        "</body>\n"
        "</html>\n";
    return page;
}
