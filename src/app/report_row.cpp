#include "app/report_row.h"

#include "profile/records.h"
#include "sensors/reading.h"

#include <charconv>
#include <cmath>
#include <algorithm>
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
        const auto result = std::to_chars(chars_ + size_, chars_ + kMax, value);
        if (result.ec == std::errc()) size_ = static_cast<std::size_t>(result.ptr - chars_);
        return *this;
    }
    // As "%.2f" prints a float: a float times 100 is exact in a double, so rounding it
    // to an integer (ties to even, as printf does) gives the hundredths exactly.
    Text& fixed2(float value)
    {
        const double hundredths = std::nearbyint(static_cast<double>(value) * 100.0);
        return hundredths_of(std::signbit(hundredths), static_cast<uint64_t>(std::fabs(hundredths)));
    }
    Text& hundredths_of(bool negative, uint64_t n)
    {
        if (negative) append("-");
        number(n / 100).append(".");
        const char decimals[2] = {static_cast<char>('0' + n % 100 / 10), static_cast<char>('0' + n % 10)};
        return append(std::string_view(decimals, 2));
    }
    std::string_view view() const { return {chars_, size_}; }

private:
    static constexpr std::size_t kMax = 39;
    char chars_[kMax];
    std::size_t size_ = 0;
};

// Volts with two decimals from single precision, as the chips' own tools show them.
Text volts(int32_t millivolts)
{
    // Off a tie (a last digit of 5) and below 10^7 mV the float is too close to mV / 1000
    // to round across a boundary, so the hundredths follow from the integer, without
    // floating point: this runs three times per row.
    const uint32_t magnitude = millivolts < 0 ? 0u - static_cast<uint32_t>(millivolts) : static_cast<uint32_t>(millivolts);
    if (magnitude % 10 != 5 && magnitude < 10'000'000) return Text().hundredths_of(millivolts < 0, (magnitude + 5) / 10);
    return Text().fixed2(static_cast<float>(millivolts / 1000.0));
}

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

// One printed line: "%-Ns" and "%Ns" columns, padded to the width and never cut.
class Line {
public:
    Line() { std::memset(chars_, ' ', sizeof chars_); }
    Line& left(std::string_view text, std::size_t width) { return put(text).pad(text.size(), width); }
    Line& right(std::string_view text, std::size_t width) { return pad(text.size(), width).put(text); }
    Line& put(std::string_view text)
    {
        std::memcpy(chars_ + size_, text.data(), text.size());
        size_ += text.size();
        return *this;
    }
    std::string_view view() const { return {chars_, size_}; }

private:
    Line& pad(std::size_t length, std::size_t width)
    {
        if (length < width) size_ += width - length;  // over the spaces laid down first
        return *this;
    }

    // Five columns of at most 39 characters, their separators and the newline.
    char chars_[256];
    std::size_t size_ = 0;
};

}  // namespace

std::string report_header()
{
    static const std::string header = [] {
        Line line;
        line.left("Monitored Item", 25);
        for (std::string_view title : {"High Limit", "Low Limit", "Status"}) line.put(" ").right(title, 10);
        return std::string(line.put(" \n").view()) + std::string(70, '-') + "\n";
    }();
    return header;
}

std::string report_row(const ItemDisplay& display, bool read)
{
    std::string line;
    append_report_row(line, display, read);
    return line;
}

std::string report_status(const ItemDisplay& display, bool read)
{
    return std::string(columns(display, read).status.view());
}

bool report_warns(const ItemDisplay& display, bool read) { return !read || isNormalReading(display) == 0; }

void append_report_row(std::string& out, const ItemDisplay& display, bool read)
{
    const Columns c = columns(display, read);
    const bool warn = report_warns(display, read);
    Line line;
    line.left(bounded(display.name, sizeof display.name), 25);
    for (const Text* text : {&c.high, &c.low, &c.status}) line.put(" ").right(text->view(), 10);
    line.put(" ").right(warn ? "Warning!" : "", 10);  // the warning is first set in 8 columns
    out.append(line.put("\n").view());
}

std::string report_footer(long now)
{
    // Reports come many to the second on a fast board; the local time is worked out once a second.
    static long last = -1;
    static std::string footer;
    if (now == last && !footer.empty()) return footer;
    const time_t stamp = now;
    const char* when = std::ctime(&stamp);
    footer = std::string(45, '-') + " " + (when != nullptr ? when : "?\n");
    last = now;
    return footer;
}

}  // namespace qv
