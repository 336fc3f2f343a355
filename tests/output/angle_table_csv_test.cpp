#include "output/angle_table_csv.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "numbers/input_error.h"

namespace lamivex::output {
namespace {

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        EXPECT_EQ(line.back(), '\r') << "RFC 4180 lines end in CR LF";
        line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

TEST(AngleTableCsvTest, HeaderThenOneRowPerStepThatReadsBackExactly) {
    const std::vector<float> angles{0.001F, 30.251F};
    const engine::AngleBestTable table{{1.0 / 3.0, 1, 1, 1, 0, -0.5, 1e-7},
                                       {0.0123, 2, 1, 1.0 / 7.0, 2, 0, -3}};
    std::ostringstream out;
    writeAngleTableCsv(out, angles, table);
    const std::vector<std::string> lines = splitLines(out.str());
    ASSERT_EQ(lines.size(), 3U);
    EXPECT_EQ(lines[0], "angle,vvo,b1_multiple,b2_multiple,m11,m12,m21,m22");
    EXPECT_EQ(lines[2].substr(0, 21), "30.251,0.0123,2,1,0.1");

    for (std::size_t k = 0; k < 2; ++k) {
        std::vector<double> values;
        std::istringstream row(lines[k + 1]);
        for (std::string cell; std::getline(row, cell, ',');) {
            values.push_back(std::strtod(cell.c_str(), nullptr));
        }
        const engine::AngleBestRow& r = table[k];
        const std::vector<double> expected{static_cast<double>(angles[k]),
                                           r.minVVo,
                                           r.b1Multiple,
                                           r.b2Multiple,
                                           r.m11,
                                           r.m12,
                                           r.m21,
                                           r.m22};
        ASSERT_EQ(values.size(), expected.size());
        // The angle was written as a single; read back it is the same single.
        EXPECT_EQ(static_cast<float>(values[0]), angles[k]);
        for (std::size_t c = 1; c < values.size(); ++c) {
            EXPECT_EQ(values[c], expected[c]) << "row " << k << " column " << c;
        }
    }
}

TEST(AngleTableCsvTest, RefusesTablesOfDifferentLength) {
    std::ostringstream out;
    EXPECT_THROW(writeAngleTableCsv(out, std::vector<float>(3), engine::AngleBestTable(2)),
                 std::invalid_argument);
    EXPECT_TRUE(out.str().empty());
}

}  // namespace
}  // namespace lamivex::output
