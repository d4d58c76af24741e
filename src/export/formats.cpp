// The three output formats of one poll.
#include "export/formats.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <cstring>
#include <map>
#include <optional>

namespace qv::exporter {

namespace {

const char* category_name(int32_t category)
{
    switch (category) {
    case FAN: return "fan";
    case VOLTAGE: return "voltage";
    case TEMP: return "temperature";
    case SWITCH: return "switch";
    default: return "unknown";
    }
}

std::string_view name_of(const ItemDisplay& d) { return {d.name, strnlen(d.name, sizeof d.name)}; }

std::string number(double value)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

// Engine units to the base unit of the item's kind: only voltages differ (millivolts).
double base_units(int32_t category, int32_t value) { return category == VOLTAGE ? value / 1000.0 : value; }

// One gauge family: which kind it shows and which number of the display it takes.
struct Family {
    const char* name;
    const char* help;
    int32_t category;
    int32_t ItemDisplay::*field;
};

constexpr Family kFamilies[] = {
    {"quorvel_fan_speed_rpm", "Fan speed.", FAN, &ItemDisplay::reading},
    {"quorvel_fan_speed_low_limit_rpm", "Fan speed below which the fan counts as failing.", FAN, &ItemDisplay::lowLimit},
    {"quorvel_voltage_volts", "Voltage.", VOLTAGE, &ItemDisplay::reading},
    {"quorvel_voltage_high_limit_volts", "Upper voltage limit.", VOLTAGE, &ItemDisplay::highLimit},
    {"quorvel_voltage_low_limit_volts", "Lower voltage limit.", VOLTAGE, &ItemDisplay::lowLimit},
    {"quorvel_temperature_celsius", "Temperature.", TEMP, &ItemDisplay::reading},
    {"quorvel_temperature_high_limit_celsius", "Upper temperature limit.", TEMP, &ItemDisplay::highLimit},
    {"quorvel_switch_state", "Switch state: 0 good, 1 bad, 2 not available.", SWITCH, &ItemDisplay::reading},
};

// occurrence: how many items before this one, plus one, share its name and chip.
std::string labels(const ItemSample& sample, bool with_category, unsigned occurrence)
{
    std::string text = "{name=\"" + escape_label_value(name_of(sample.display)) + "\",chip=\"" +
                       std::to_string(sample.display.chipCode) + "\"";
    if (with_category) text += std::string(",category=\"") + category_name(sample.display.category) + "\"";
    // A profile may name two items alike; each needs a series of its own.
    if (occurrence > 1) text += ",index=\"" + std::to_string(occurrence) + "\"";
    return text + "}";
}

std::vector<unsigned> occurrences(const std::vector<ItemSample>& items)
{
    std::map<std::pair<std::string_view, int32_t>, unsigned> seen;
    std::vector<unsigned> result;
    result.reserve(items.size());
    for (const ItemSample& sample : items) result.push_back(++seen[{name_of(sample.display), sample.display.chipCode}]);
    return result;
}

void header(std::string& out, const char* name, const char* help)
{
    out += std::string("# HELP ") + name + " " + help + "\n# TYPE " + name + " gauge\n";
}

std::optional<double> value_of(const ItemSample& sample)
{
    if (!sample.read) return std::nullopt;
    return base_units(sample.display.category, sample.display.reading);
}

// Names go into a one-line plugin output: no line breaks, no field separator.
std::string plain(std::string_view name)
{
    std::string text(name);
    for (char& c : text)
        if (c == '|' || static_cast<unsigned char>(c) < 0x20) c = ' ';
    return text;
}

std::string perf_label(std::string_view name)
{
    std::string text = "'";
    for (char c : plain(name)) text += c == '\'' ? std::string("''") : std::string(1, c);
    return text + "'";
}

std::string joined(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
    return text;
}

}  // namespace

std::string escape_label_value(std::string_view value)
{
    std::string text;
    for (char c : value) {
        if (c == '\\') text += "\\\\";
        else if (c == '"') text += "\\\"";
        else if (c == '\n') text += "\\n";
        else text += c;
    }
    return text;
}

std::string openmetrics_text(const Snapshot& snapshot)
{
    std::string out;
    const std::vector<unsigned> occurrence = occurrences(snapshot.items);
    for (const Family& family : kFamilies) {
        bool any = false;
        for (std::size_t i = 0; i < snapshot.items.size(); ++i) {
            const ItemSample& sample = snapshot.items[i];
            if (sample.display.category != family.category) continue;
            const bool is_reading = family.field == &ItemDisplay::reading;
            // A failed read has no current value; its limits are still the chip's.
            if (is_reading && !sample.read) continue;
            if (!any) header(out, family.name, family.help);
            any = true;
            out += family.name + labels(sample, false, occurrence[i]) + " " +
                   number(base_units(family.category, sample.display.*family.field)) + "\n";
        }
    }
    if (!snapshot.items.empty()) {
        header(out, "quorvel_item_normal", "1 when the item's reading is within its limits and levels.");
        for (std::size_t i = 0; i < snapshot.items.size(); ++i)
            out += "quorvel_item_normal" + labels(snapshot.items[i], true, occurrence[i]) +
                   (snapshot.items[i].normal ? " 1\n" : " 0\n");
        header(out, "quorvel_read_failed", "1 when the item could not be read in this poll.");
        for (std::size_t i = 0; i < snapshot.items.size(); ++i)
            out += "quorvel_read_failed" + labels(snapshot.items[i], true, occurrence[i]) +
                   (snapshot.items[i].read ? " 0\n" : " 1\n");
    }
    return out + "# EOF\n";
}

std::string json_text(const Snapshot& snapshot)
{
    using nlohmann::json;
    json items = json::array();
    for (const ItemSample& sample : snapshot.items) {
        const ItemDisplay& d = sample.display;
        const bool has_high = d.category == VOLTAGE || d.category == TEMP;
        const bool has_low = d.category == FAN || d.category == VOLTAGE;
        items.push_back({
            {"name", name_of(d)},
            {"category", category_name(d.category)},
            {"chip", d.chipCode},
            {"value", sample.read ? json(d.reading) : json(nullptr)},
            {"high_limit", has_high ? json(d.highLimit) : json(nullptr)},
            {"low_limit", has_low ? json(d.lowLimit) : json(nullptr)},
            {"status", sample.status},
            {"warning", sample.warning ? "Warning!" : ""},
            {"normal", sample.normal},
            {"read_failed", !sample.read},
        });
    }
    const json document = {
        {"board", {{"vendor", snapshot.board.vendor}, {"product", snapshot.board.product}, {"version", snapshot.board.version}}},
        {"time", snapshot.time},
        {"items", items},
    };
    // Names come from a file people edit: bytes that are no UTF-8 must not end the run.
    return document.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

NagiosResult nagios_result(const Snapshot& snapshot)
{
    std::vector<std::string> abnormal;
    std::vector<std::string> failed;
    std::string perf;
    for (const ItemSample& sample : snapshot.items) {
        if (!sample.read) failed.push_back(plain(name_of(sample.display)));
        else if (!sample.normal) abnormal.push_back(plain(name_of(sample.display)));
        const std::optional<double> value = value_of(sample);
        perf += " " + perf_label(name_of(sample.display)) + "=" + (value ? number(*value) : "U") + ";;;";
    }
    const std::string total = std::to_string(snapshot.items.size());
    NagiosResult result;
    std::string text;
    if (snapshot.items.empty()) {
        result.status = kNagiosUnknown;
        text = "UNKNOWN - no monitored items";
    } else if (!abnormal.empty()) {
        result.status = kNagiosCritical;
        text = "CRITICAL - " + std::to_string(abnormal.size()) + " of " + total + " items abnormal: " + joined(abnormal);
        if (!failed.empty()) text += "; not read: " + joined(failed);
    } else if (!failed.empty()) {
        result.status = kNagiosWarning;
        text = "WARNING - " + std::to_string(failed.size()) + " of " + total + " items not read: " + joined(failed);
    } else {
        result.status = kNagiosOk;
        text = "OK - " + total + " items normal";
    }
    result.line = "QUORVEL " + text + (perf.empty() ? "" : " |" + perf) + "\n";
    return result;
}

}  // namespace qv::exporter
