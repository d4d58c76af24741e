#include "app/report_row.h"

#include "profile/records.h"
#include "sensors/reading.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <ctime>
#include <string_view>

namespace qv {

namespace {

// One column's text: at most 39 characters, as the report's fixed buffers hold.
class Text {
public:
    Text() = default;
    Text(std::string_view text) { append(text); }

    Text& append(std::string_view text)
    {
        const std::size_t n = std::min(text.size(), kMax - size_);
        std::memcpy(chars_ + size_, text.data(), n);
        size_ += n;
        return *this;
    }
    template <typename Number>
    Text& number(Number value)
    {
        size_ = static_cast<std::size_t>(std::to_chars(chars_ + size_, chars_ + kMax, value).ptr - chars_);
        return *this;
    }
    // As "%.2f" prints a float: a float times 100 is exact in a double, so rounding it
    // to an integer (ties to even, as printf does) gives the hundredths exactly.
    Text& fixed2(float value)
    {
        const double hundredths = std::nearbyint(static_cast<double>(value) * 100.0);
        if (std::signbit(hundredths)) append("-");
        const auto n = static_cast<uint64_t>(std::fabs(hundredths));
        number(n / 100).append(".");
        const char decimals[2] = {static_cast<char>('0' + n % 100 / 10), static_cast<char>('0' + n % 10)};
        return append(std::string_view(decimals, 2));
    }
    std::string_view view() const { return {chars_, size_}; }

private:
    static constexpr std::size_t kMax = 39;
    char chars_[kMax] = {};
    std::size_t size_ = 0;
};

// Volts with two decimals from single precision, as the chips' own tools show them.
Text volts(int32_t millivolts) { return Text().fixed2(static_cast<float>(millivolts / 1000.0)); }

Text degrees(int32_t celsius) { return Text().number(celsius).append("/").number(fahrenheit(celsius)); }

std::string_view bounded(const char* field, std::size_t size) { return {field, strnlen(field, size)}; }

Text switch_state(const ItemDisplay& display)
{
    if (display.chipCode == 27) return Text(display.reading == 1 ? "Overheat" : "Normal");
    switch (display.reading) {
    case 0: return Text("Good");
    case 1: return Text("Bad");
    case 2: return Text("N/A");
    default: return Text();
    }
}

struct Columns {
    Text high;
    Text low;
    Text status;
};

Columns columns(const ItemDisplay& display, bool read)
{
    Columns c;
    switch (display.category) {
    case FAN:
        c.low.number(display.lowLimit);
        c.status.number(display.reading);
        break;
    case VOLTAGE:
        c.high = volts(display.highLimit);
        c.low = volts(display.lowLimit);
        c.status = volts(display.reading);
        break;
    case TEMP:
        c.high = degrees(display.highLimit);
        c.status = display.thermalFlag != 0 ? Text(bounded(display.thermalText, sizeof display.thermalText))
                                            : degrees(display.reading);
        break;
    case SWITCH:
        c.status = switch_state(display);
        break;
    default:
        c.high = c.low = c.status = Text("unknown");
        return c;
    }
    if (!read) c.status = Text("N/A");
    return c;
}

// "%-Ns" and "%Ns": padded to the width, never cut.
void left(std::string& line, std::string_view text, std::size_t width)
{
    line.append(text);
    if (text.size() < width) line.append(width - text.size(), ' ');
}
void right(std::string& line, std::string_view text, std::size_t width)
{
    if (text.size() < width) line.append(width - text.size(), ' ');
    line.append(text);
}

}  // namespace

int64_t fahrenheit(int32_t celsius) { return static_cast<int64_t>(celsius) * 9 / 5 + 32; }

std::string report_header()
{
    std::string line;
    left(line, "Monitored Item", 25);
    for (std::string_view title : {"High Limit", "Low Limit", "Status"}) {
        line += ' ';
        right(line, title, 10);
    }
    return line + " \n" + std::string(70, '-') + "\n";
}

std::string report_row(const ItemDisplay& display, bool read)
{
    std::string line;
    append_report_row(line, display, read);
    return line;
}

void append_report_row(std::string& line, const ItemDisplay& display, bool read)
{
    const Columns c = columns(display, read);
    const bool warn = !read || isNormalReading(display) == 0;
    left(line, bounded(display.name, sizeof display.name), 25);
    for (const Text* text : {&c.high, &c.low, &c.status}) {
        line += ' ';
        right(line, text->view(), 10);
    }
    line += ' ';
    right(line, warn ? "Warning!" : "", 10);  // the warning is first set in 8 columns
    line += '\n';
}

std::string report_footer(long now)
{
    const time_t stamp = now;
    const char* when = std::ctime(&stamp);
    return std::string(45, '-') + " " + (when != nullptr ? when : "?\n");
}

}  // namespace qv
