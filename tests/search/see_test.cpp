#include "helpers.h"

#include "search/see.h"

#include <gtest/gtest.h>

using namespace position;

TEST(See, ExchangesOnTheBoard) {
    searchtest::init();
    auto records = testsupport::readDataFile("see.epd");
    ASSERT_EQ(records.size(), 19u);
    for (const auto &r : records) {
        Position pos = searchtest::fromFen(r.fen.c_str());
        EXPECT_EQ(search::see(pos, searchtest::mv(r.fields.at(1).c_str())), std::stoi(r.fields.at(2)))
            << r.fen;
    }
}
