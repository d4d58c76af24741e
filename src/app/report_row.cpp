#include "app/report_row.h"

#include "profile/records.h"
#include "sensors/reading.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace qv {

namespace {

// Each column's text holds at most 39 characters.
struct Text {
    char chars[40] = {};
    const char* c_str() const { return chars; }
};

Text format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
Text format(const char* fmt, ...)
{
    Text text;
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(text.chars, sizeof text.chars, fmt, args);
    va_end(args);
    return text;
}

// Volts with two decimals from single precision, as the chips' own tools show them.
Text volts(int32_t millivolts) { return format("%.2f", static_cast<double>(static_cast<float>(millivolts / 1000.0))); }

Text degrees(int32_t celsius) { return format("%ld/%lld", static_cast<long>(celsius), static_cast<long long>(fahrenheit(celsius))); }

Text switch_state(const ItemDisplay& display)
{
    if (display.chipCode == 27) return format("%s", display.reading == 1 ? "Overheat" : "Normal");
    switch (display.reading) {
    case 0: return format("Good");
    case 1: return format("Bad");
    case 2: return format("N/A");
    default: return Text{};
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
        c.low = format("%ld", static_cast<long>(display.lowLimit));
        c.status = format("%ld", static_cast<long>(display.reading));
        break;
    case VOLTAGE:
        c.high = volts(display.highLimit);
        c.low = volts(display.lowLimit);
        c.status = volts(display.reading);
        break;
    case TEMP:
        c.high = degrees(display.highLimit);
        c.status = display.thermalFlag != 0 ? format("%.*s", static_cast<int>(sizeof display.thermalText), display.thermalText)
                                            : degrees(display.reading);
        break;
    case SWITCH:
        c.status = switch_state(display);
        break;
    default:
        c.high = c.low = c.status = format("unknown");
        return c;
    }
    if (!read) c.status = format("N/A");
    return c;
}

}  // namespace

int64_t fahrenheit(int32_t celsius) { return static_cast<int64_t>(celsius) * 9 / 5 + 32; }

std::string report_header()
{
    char line[128];
    std::snprintf(line, sizeof line, "%-25s %10s %10s %10s \n", "Monitored Item", "High Limit", "Low Limit", "Status");
    return std::string(line) + std::string(70, '-') + "\n";
}

std::string report_row(const ItemDisplay& display, bool read)
{
    const Columns c = columns(display, read);
    const bool warn = !read || isNormalReading(display) == 0;
    const Text warning = format("%8s", warn ? "Warning!" : "");
    const Text name = format("%.*s", static_cast<int>(sizeof display.name), display.name);
    char line[256];
    std::snprintf(line, sizeof line, "%-25s %10s %10s %10s %10s\n", name.c_str(), c.high.c_str(), c.low.c_str(),
                  c.status.c_str(), warning.c_str());
    return line;
}

std::string report_footer(long now)
{
    const time_t stamp = now;
    const char* when = std::ctime(&stamp);
    return std::string(45, '-') + " " + (when != nullptr ? when : "?\n");
}

}  // namespace qv
