// Going back to a line by its offset: the import dialog's raw view reads the lines it shows that way.
#include "core/TextLineReader.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

TEST(TextLineReader, SeekingToAnOffsetItGaveReadsTheSameLineAgain)
{
    // Lines of every kind across the reader's 64 KiB blocks: CR LF (also split by a block border),
    // lone CRs, NUL bytes, lines longer than one read, and a last line without a line feed.
    std::mt19937 oRandom(3);
    std::string sText;
    const char* const apcLines[] = {"6562.5;0.91\r\n", "a\rb\n", "x\0y;1\n", "\r\n", "\n", "12.5  7.25\n"};
    while (sText.size() < 300'000) {
        std::size_t lKind = oRandom() % 40;
        if (lKind < 39) {
            lKind %= 6;
            sText.append(apcLines[lKind], lKind == 2 ? 6 : std::char_traits<char>::length(apcLines[lKind]));
        } else {
            sText.append(1000 + oRandom() % 100, static_cast<char>('a' + oRandom() % 26));
            sText += "\r\n";
        }
    }
    sText += "last";
    TempDir oDir;
    const std::string sFile = oDir.Write("lines.txt", sText);

    TextLineReader oReader;
    ASSERT_TRUE(oReader.Open(sFile));
    std::vector<std::pair<std::uintmax_t, std::string>> vLines;
    for (std::string sLine; !oReader.IsEof();) {
        const std::uintmax_t lOffset = oReader.Tell();
        if (oReader.ReadLine(sLine)) {
            vLines.emplace_back(lOffset, sLine);
        }
    }
    ASSERT_GT(vLines.size(), 5000U);
    EXPECT_EQ(vLines.back().second, "last");

    // In order (as a view shows them), backwards and at random, each offset gives its line.
    std::vector<std::size_t> vOrder(vLines.size());
    for (std::size_t i = 0; i < vOrder.size(); ++i) {
        vOrder[i] = i;
    }
    std::vector<std::size_t> vShuffled = vOrder;
    std::shuffle(vShuffled.begin(), vShuffled.end(), oRandom);
    std::vector<std::size_t> vAll = vOrder;
    vAll.insert(vAll.end(), vOrder.rbegin(), vOrder.rend());
    vAll.insert(vAll.end(), vShuffled.begin(), vShuffled.end());
    std::string sLine;
    for (const std::size_t i : vAll) {
        ASSERT_TRUE(oReader.Seek(vLines[i].first));
        oReader.ReadLine(sLine);
        ASSERT_EQ(sLine, vLines[i].second) << "line " << i << " at " << vLines[i].first;
    }
}
