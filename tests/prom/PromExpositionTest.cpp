// The text exposition writer: grouping, escaping and number formatting.
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "PromExposition.h"

namespace {

using Storcoll::PromExposition;

TEST(PromExposition, GroupsEachFamilysSamplesUnderOneHeaderAndEscapes)
{
    PromExposition out;
    out.Declare("a_bytes", PromExposition::Type::Gauge, "Help with \\ and\nnewline \"kept\".");
    out.Declare("b_total", PromExposition::Type::Counter, "B.");
    out.Declare("unused", PromExposition::Type::Gauge, "Never sampled.");
    out.Add("a_bytes", {{"disk", "0"}}, 1);
    out.Add("b_total", {}, 2);
    out.Add("a_bytes", {{"model", "a\\b \"c\"\nd"}, {"empty", ""}}, 0.5);
    // A second declaration keeps the first help; a different type is a fault.
    out.Declare("a_bytes", PromExposition::Type::Gauge, "Other help.");
    EXPECT_THROW(out.Declare("a_bytes", PromExposition::Type::Counter, ""), std::logic_error);
    EXPECT_THROW(out.Add("undeclared", {}, 1), std::logic_error);

    EXPECT_EQ(out.Text(),
              "# HELP a_bytes Help with \\\\ and\\nnewline \"kept\".\n"
              "# TYPE a_bytes gauge\n"
              "a_bytes{disk=\"0\"} 1\n"
              "a_bytes{model=\"a\\\\b \\\"c\\\"\\nd\",empty=\"\"} 0.5\n"
              "# HELP b_total B.\n"
              "# TYPE b_total counter\n"
              "b_total 2\n");
}

TEST(PromExposition, FormatsValuesAsPrometheusParsesThem)
{
    const struct {
        double Value;
        const char* Text;
    } rows[] = {
        {0, "0"},
        {42, "42"},
        {-273, "-273"},
        {0.07, "0.07"},
        {9007199254740992.0, "9007199254740992"},
        {1.5e300, "1.5e+300"},
        {std::numeric_limits<double>::quiet_NaN(), "NaN"},
        {std::numeric_limits<double>::infinity(), "+Inf"},
        {-std::numeric_limits<double>::infinity(), "-Inf"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(PromExposition::FormatValue(row.Value), row.Text) << "row " << row.Text;
    }
}

}  // namespace
