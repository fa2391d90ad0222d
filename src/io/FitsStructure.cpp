#include "FitsStructure.h"

#include <charconv>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

namespace quandrel::fits {

namespace {

constexpr std::size_t kBlock = 2880;
constexpr std::size_t kCard = 80;
// No header of a spectrum comes near 1000 blocks (36,000 cards).
constexpr int kMaxHeaderBlocks = 1000;
// The mandatory keywords at the head of a header: at most SIMPLE or XTENSION, BITPIX, NAXIS, 999 axes,
// PCOUNT, GCOUNT and TFIELDS.
constexpr std::size_t kOrderedCards = 1006;

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && s.front() == ' ') {
        s.remove_prefix(1);
    }
    while (!s.empty() && s.back() == ' ') {
        s.remove_suffix(1);
    }
    return s;
}

// The integer value of a card "KEYWORD = value / comment".
std::optional<long long> IntegerValue(std::string_view sCard)
{
    std::string_view sValue = sCard.substr(10);
    sValue = Trim(sValue.substr(0, sValue.find('/')));
    if (!sValue.empty() && sValue.front() == '+') {
        sValue.remove_prefix(1);
    }
    long long l = 0;
    const auto [pcEnd, eError] = std::from_chars(sValue.data(), sValue.data() + sValue.size(), l);
    if (eError != std::errc() || pcEnd != sValue.data() + sValue.size() || sValue.empty()) {
        return std::nullopt;
    }
    return l;
}

// The keywords CFITSIO sizes a header's data and tables from.
bool IsStructural(std::string_view sName)
{
    return sName == "BITPIX" || sName.rfind("NAXIS", 0) == 0 || sName == "PCOUNT" || sName == "GCOUNT" ||
           sName == "TFIELDS" || sName == "THEAP";
}

// The structural keywords of one header.
struct SHeader {
    std::map<std::string, long long, std::less<>> mIntegers;
    std::string sNotANumber; // the first structural keyword whose value is no whole number
    std::vector<std::string> vOrder; // the names of the first cards, in their order
    std::string sXtension;
    std::uint64_t lBytes = 0; // header blocks
};

// Reads the header at lOffset up to its END card; nullopt when it has none within the limit.
std::optional<SHeader> ReadHeaderAt(const ByteSource& fnRead, std::uint64_t lOffset)
{
    SHeader oHeader;
    for (int lBlock = 0; lBlock < kMaxHeaderBlocks; ++lBlock) {
        const std::string sBlock = fnRead(lOffset + oHeader.lBytes, kBlock);
        if (sBlock.size() < kBlock) {
            return std::nullopt;
        }
        oHeader.lBytes += kBlock;
        for (std::size_t lCard = 0; lCard < kBlock; lCard += kCard) {
            const std::string_view sCard(sBlock.data() + lCard, kCard);
            const std::string_view sName = Trim(sCard.substr(0, 8));
            if (sName == "END") {
                return oHeader;
            }
            if (oHeader.vOrder.size() < kOrderedCards) {
                oHeader.vOrder.emplace_back(sName);
            }
            if (sCard.substr(8, 2) != "= ") {
                continue;
            }
            if (sName == "XTENSION") {
                oHeader.sXtension = std::string(Trim(sCard.substr(10, 20)));
            } else if (const auto l = IntegerValue(sCard)) {
                oHeader.mIntegers.emplace(std::string(sName), *l); // the first card of a name counts
            } else if (IsStructural(sName) && oHeader.sNotANumber.empty()) {
                oHeader.sNotANumber = std::string(sName);
            }
        }
    }
    return std::nullopt;
}

std::optional<long long> Find(const SHeader& o, const std::string& sName)
{
    const auto it = o.mIntegers.find(sName);
    return it == o.mIntegers.end() ? std::nullopt : std::optional<long long>(it->second);
}

} // namespace

std::string CheckStructure(const ByteSource& fnRead, std::uint64_t lFileBytes, int lMaxHdus)
{
    std::uint64_t lOffset = 0;
    for (int lHdu = 1; lHdu <= lMaxHdus && lOffset < lFileBytes; ++lHdu) {
        const std::string sWhere = "header " + std::to_string(lHdu);
        const auto oHeader = ReadHeaderAt(fnRead, lOffset);
        if (!oHeader) {
            return sWhere + " has no END card";
        }
        if (!oHeader->sNotANumber.empty()) {
            return sWhere + " has no valid " + oHeader->sNotANumber;
        }
        const auto lBitpix = Find(*oHeader, "BITPIX");
        if (!lBitpix || (*lBitpix != 8 && *lBitpix != 16 && *lBitpix != 32 && *lBitpix != 64 && *lBitpix != -32 &&
                         *lBitpix != -64)) {
            return sWhere + " has no valid BITPIX";
        }
        const auto lAxes = Find(*oHeader, "NAXIS");
        if (!lAxes || *lAxes < 0 || *lAxes > 999) {
            return sWhere + " has no valid NAXIS";
        }
        const auto lParameters = Find(*oHeader, "PCOUNT").value_or(0);
        const auto lGroups = Find(*oHeader, "GCOUNT").value_or(1);
        if (lParameters < 0 || lGroups < 0) {
            return sWhere + " has a negative PCOUNT or GCOUNT";
        }
        const bool bTable = oHeader->sXtension.find("TABLE") != std::string::npos;
        // The mandatory keywords in the order the standard gives them: CFITSIO reads them by position,
        // and a card out of place leaves it with a count it never read.
        std::vector<std::string> vExpected = {lHdu == 1 ? "SIMPLE" : "XTENSION", "BITPIX", "NAXIS"};
        for (long long n = 1; n <= *lAxes; ++n) {
            vExpected.push_back("NAXIS" + std::to_string(n));
        }
        if (lHdu > 1) {
            vExpected.insert(vExpected.end(), {"PCOUNT", "GCOUNT"});
            if (bTable) {
                vExpected.emplace_back("TFIELDS");
            }
        }
        for (std::size_t i = 0; i < vExpected.size(); ++i) {
            if (i >= oHeader->vOrder.size() || oHeader->vOrder[i] != vExpected[i]) {
                return sWhere + " does not hold " + vExpected[i] + " as card " + std::to_string(i + 1);
            }
        }
        if (bTable) {
            const auto lFields = Find(*oHeader, "TFIELDS");
            if (!lFields || *lFields < 0 || *lFields > 999) {
                return sWhere + " has no valid TFIELDS";
            }
        }
        // The data: |BITPIX| / 8 x GCOUNT x (PCOUNT + NAXIS1 x ... x NAXISn), in a long double so that no
        // product can wrap; it must fit in what follows the header.
        long double fElements = *lAxes > 0 ? 1.0L : 0.0L;
        for (long long n = 1; n <= *lAxes; ++n) {
            const auto lSize = Find(*oHeader, "NAXIS" + std::to_string(n));
            if (!lSize || *lSize < 0) {
                return sWhere + " has no valid NAXIS" + std::to_string(n);
            }
            fElements *= static_cast<long double>(*lSize);
        }
        const long double fData = static_cast<long double>(*lBitpix < 0 ? -*lBitpix : *lBitpix) / 8.0L *
                                  static_cast<long double>(lGroups) *
                                  (static_cast<long double>(lParameters) + fElements);
        const std::uint64_t lDataStart = lOffset + oHeader->lBytes;
        if (fData > static_cast<long double>(lFileBytes - std::min(lDataStart, lFileBytes))) {
            return sWhere + " declares more data than the file holds";
        }
        const auto lData = static_cast<std::uint64_t>(fData);
        lOffset = lDataStart + (lData + kBlock - 1) / kBlock * kBlock;
    }
    return std::string();
}

} // namespace quandrel::fits
