// The string table's ids: the resource compiler takes two texts under one id
// without a word, and the later one then shows where the earlier belongs.
#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <string>

#include "tests/common/file_bytes.h"

namespace {

TEST(ResourceIds, EveryStringHasAnIdOfItsOwn)
{
    const std::vector<unsigned char> bytes = readFileBytes(std::string(VOMBLY_FIXTURES_DIR) + "/../../res/resource.h");
    ASSERT_FALSE(bytes.empty());
    const std::string header(bytes.begin(), bytes.end());
    const std::regex define("#define\\s+(IDS_\\w+)\\s+(\\d+)");
    std::map<int, std::string> seen;
    int count = 0;
    for (std::sregex_iterator it(header.begin(), header.end(), define), end; it != end; ++it, ++count) {
        int id = std::stoi((*it)[2].str());
        auto [at, fresh] = seen.emplace(id, (*it)[1].str());
        EXPECT_TRUE(fresh) << (*it)[1].str() << " has the id of " << at->second << " (" << id << ")";
    }
    EXPECT_GT(count, 40) << "the header's string ids were not found";
}

} // namespace
