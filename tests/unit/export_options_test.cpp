// quorvel-export's command line: both value forms, and every way of getting it wrong.
#include "export/options.h"

#include <gmock/gmock.h>

namespace qv::exporter {
namespace {

ParseResult parse(std::vector<std::string> args) { return parse_export_options(args); }

TEST(ExportCommandLine, ValuesInEitherForm)
{
    const ParseResult r = parse({"--format=json", "--textfile", "/var/lib/q.prom", "--interval", "30"});
    ASSERT_EQ(r.outcome, Parsed::Run) << r.error;
    EXPECT_EQ(r.options.format, Format::Json);
    EXPECT_EQ(r.options.textfile, "/var/lib/q.prom");
    EXPECT_EQ(r.options.interval, 30);
    EXPECT_EQ(parse({}).options.format, Format::OpenMetrics);
    EXPECT_EQ(parse({"--format", "nagios", "--format", "openmetrics"}).options.format, Format::OpenMetrics);
}

struct Wrong {
    std::vector<std::string> args;
    const char* error;
};

class ExportCommandLineErrors : public ::testing::TestWithParam<Wrong> {};

TEST_P(ExportCommandLineErrors, SaysWhatIsWrong)
{
    const ParseResult r = parse(GetParam().args);
    EXPECT_EQ(r.outcome, Parsed::Error);
    EXPECT_THAT(r.error, ::testing::HasSubstr(GetParam().error));
}

INSTANTIATE_TEST_SUITE_P(Args, ExportCommandLineErrors,
                         ::testing::Values(Wrong{{"-t"}, "unknown option '-t'"}, Wrong{{"json"}, "unknown option 'json'"},
                                           Wrong{{"--format", "xml"}, "unknown format 'xml'"},
                                           Wrong{{"--interval"}, "needs a value"}, Wrong{{"--textfile"}, "needs a value"},
                                           Wrong{{"--interval", "0"}, "at least 1"}, Wrong{{"--interval=0"}, "at least 1"},
                                           Wrong{{"--interval", "5s"}, "at least 1"},
                                           Wrong{{"--interval", "99999999999"}, "at least 1"},
                                           Wrong{{"--textfile="}, "needs a file name"},
                                           Wrong{{"--verbose=1"}, "unknown option '--verbose=1'"}));

TEST(ExportCommandLine, HelpAndVersionWinOverWhatFollows)
{
    EXPECT_EQ(parse({"--help", "--bogus"}).outcome, Parsed::Help);
    EXPECT_EQ(parse({"-h"}).outcome, Parsed::Help);
    EXPECT_EQ(parse({"--version"}).outcome, Parsed::Version);
    EXPECT_EQ(parse({"--bogus", "--help"}).outcome, Parsed::Error);
}

}  // namespace
}  // namespace qv::exporter
