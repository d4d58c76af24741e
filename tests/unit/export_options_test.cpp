// quorvel-export's command line: both value forms, and every way of getting it wrong.
#include "export/options.h"

#include <gmock/gmock.h>

namespace qv::exporter {
namespace {

ParseResult parse(std::vector<std::string> args) { return parse_export_options(args); }

// The separate form and the default format are used end to end.
TEST(ExportCommandLine, ValuesAfterAnEqualsSignAndTheLastFormatWins)
{
    const ParseResult r = parse({"--format=json", "--textfile=/var/lib/q.prom", "--interval=30"});
    ASSERT_EQ(r.outcome, Parsed::Run) << r.error;
    EXPECT_EQ(r.options.format, Format::Json);
    EXPECT_EQ(r.options.textfile, "/var/lib/q.prom");
    EXPECT_EQ(r.options.interval, 30);
    EXPECT_EQ(parse({"--format", "nagios", "--format", "openmetrics"}).options.format, Format::OpenMetrics);
}

TEST(ExportCommandLine, SaysWhatIsWrong)
{
    const struct { std::vector<std::string> args; const char* error; } cases[] = {{{"-t"}, "unknown option '-t'"},
                 {{"json"}, "unknown option 'json'"},
                 {{"--format", "xml"}, "unknown format 'xml'"},
                 {{"--interval"}, "needs a value"},
                 {{"--textfile"}, "needs a value"},
                 {{"--interval", "0"}, "at least 1"},
                 {{"--interval=0"}, "at least 1"},
                 {{"--interval", "5s"}, "at least 1"},
                 {{"--interval", "99999999999"}, "at least 1"},
                 {{"--textfile="}, "needs a file name"},
                 {{"--verbose=1"}, "unknown option '--verbose=1'"}};
    for (const auto& c : cases) {
        const ParseResult r = parse(c.args);
        EXPECT_EQ(r.outcome, Parsed::Error) << c.error;
        EXPECT_THAT(r.error, ::testing::HasSubstr(c.error));
    }
}

TEST(ExportCommandLine, HelpAndVersionWinOverWhatFollows)
{
    EXPECT_EQ(parse({"--help", "--bogus"}).outcome, Parsed::Help);
    EXPECT_EQ(parse({"-h"}).outcome, Parsed::Help);
    EXPECT_EQ(parse({"--bogus", "--help"}).outcome, Parsed::Error);
}

}  // namespace
}  // namespace qv::exporter
