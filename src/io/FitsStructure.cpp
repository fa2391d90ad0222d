#include "FitsStructure.h"

#include <zlib.h>

#include <array>
#include <algorithm>
#include <charconv>
#include <cstdlib>
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

// The text of a card's string value ('RICE_1  ' gives RICE_1) or logical value (T or F).
std::optional<std::string> TextValue(std::string_view sCard)
{
    std::string_view sValue = Trim(sCard.substr(10));
    if (sValue == "T" || sValue == "F" || sValue.starts_with("T ") || sValue.starts_with("F ")) {
        return std::string(sValue.substr(0, 1));
    }
    if (sValue.empty() || sValue.front() != '\'') {
        return std::nullopt;
    }
    const auto lClose = sValue.find('\'', 1);
    if (lClose == std::string_view::npos) {
        return std::nullopt;
    }
    return std::string(Trim(sValue.substr(1, lClose - 1)));
}

// The keywords CFITSIO sizes a header's data and tables from.
bool IsStructural(std::string_view sName)
{
    return sName == "BITPIX" || sName.rfind("NAXIS", 0) == 0 || sName == "PCOUNT" || sName == "GCOUNT" ||
           sName == "TFIELDS" || sName == "THEAP";
}

// The structural keywords of one header.
struct Header {
    std::map<std::string, long long, std::less<>> mIntegers;
    std::map<std::string, std::string, std::less<>> mTexts; // string and logical values, unquoted and trimmed
    std::string sNotANumber; // the first structural keyword whose value is no whole number
    std::vector<std::string> vOrder; // the names of the first cards, in their order
    std::string sXtension;
    std::uint64_t lBytes = 0; // header blocks
};

// Reads the header at lOffset up to its END card; nullopt when it has none within the limit.
std::optional<Header> ReadHeaderAt(const ByteSource& fnRead, std::uint64_t lOffset)
{
    Header oHeader;
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
            } else if (const auto sText = TextValue(sCard)) {
                oHeader.mTexts.emplace(std::string(sName), *sText);
            } else if (const auto l = IntegerValue(sCard)) {
                oHeader.mIntegers.emplace(std::string(sName), *l); // the first card of a name counts
            } else if (IsStructural(sName) && oHeader.sNotANumber.empty()) {
                oHeader.sNotANumber = std::string(sName);
            }
        }
    }
    return std::nullopt;
}

// True when sPacked is a whole gzip (or zlib) stream of exactly lBytes bytes.
bool UnpacksTo(const std::string& sPacked, std::uint64_t lBytes)
{
    z_stream oStream{};
    if (inflateInit2(&oStream, 15 + 32) != Z_OK) {
        return false;
    }
    oStream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(sPacked.data()));
    oStream.avail_in = static_cast<uInt>(sPacked.size());
    std::array<unsigned char, 1 << 14> acOut{};
    std::uint64_t lOut = 0;
    int lResult = Z_OK;
    while (lResult == Z_OK && lOut <= lBytes) {
        oStream.next_out = acOut.data();
        oStream.avail_out = static_cast<uInt>(acOut.size());
        lResult = inflate(&oStream, Z_NO_FLUSH);
        lOut += acOut.size() - oStream.avail_out;
        if (lResult == Z_BUF_ERROR && oStream.avail_in == 0) {
            break;
        }
    }
    inflateEnd(&oStream);
    return lResult == Z_STREAM_END && lOut == lBytes;
}

std::optional<long long> Find(const Header& o, const std::string& sName)
{
    const auto it = o.mIntegers.find(sName);
    return it == o.mIntegers.end() ? std::nullopt : std::optional<long long>(it->second);
}

std::string Text(const Header& o, const std::string& sName)
{
    const auto it = o.mTexts.find(sName);
    return it == o.mTexts.end() ? std::string() : it->second;
}

// The bytes of one value of a binary table's column form ("1PB(8)", "2J", "8A"); 0 for a form it
// does not know.
std::uint64_t FieldBytes(const std::string& sForm)
{
    std::size_t i = 0;
    std::uint64_t lRepeat = 0;
    for (; i < sForm.size() && sForm[i] >= '0' && sForm[i] <= '9' && lRepeat < (1ULL << 40); ++i) {
        lRepeat = lRepeat * 10 + static_cast<std::uint64_t>(sForm[i] - '0');
    }
    lRepeat = i == 0 ? 1 : lRepeat;
    if (i >= sForm.size()) {
        return 0;
    }
    static const std::map<char, std::uint64_t> kBytes = {{'L', 1}, {'B', 1}, {'A', 1}, {'I', 2}, {'J', 4}, {'K', 8},
                                                         {'E', 4}, {'D', 8}, {'C', 8}, {'M', 16}, {'P', 8}, {'Q', 16}};
    if (sForm[i] == 'X') {
        return (lRepeat + 7) / 8;
    }
    const auto it = kBytes.find(sForm[i]);
    return it == kBytes.end() ? 0 : lRepeat * it->second;
}

std::uint64_t BigEndian(const std::string& sBytes, std::size_t lAt, std::size_t lCount)
{
    std::uint64_t l = 0;
    for (std::size_t k = 0; k < lCount; ++k) {
        l = (l << 8) | static_cast<unsigned char>(sBytes[lAt + k]);
    }
    return l;
}

// A tile-compressed image (a binary table with ZIMAGE = T), checked before CFITSIO decompresses it:
// the image and its tiles agree with the rows, every tile's bytes lie in the heap, and a tile packed
// with gzip unpacks to exactly the tile. Empty when sound, else why not.
std::string CheckCompressedImage(const ByteSource& fnRead, const Header& o, std::uint64_t lDataStart)
{
    const std::string sType = Text(o, "ZCMPTYPE");
    const bool bGzip = sType == "GZIP_1" || sType == "GZIP_2";
    if (!bGzip && sType != "RICE_1" && sType != "RICE_ONE" && sType != "PLIO_1" && sType != "NOCOMPRESS") {
        return "compressed image is packed with '" + sType + "', which the program does not read";
    }
    const auto lBitpix = Find(o, "ZBITPIX");
    const auto lAxes = Find(o, "ZNAXIS");
    if (!lBitpix || (*lBitpix != 8 && *lBitpix != 16 && *lBitpix != 32 && *lBitpix != 64 && *lBitpix != -32 &&
                     *lBitpix != -64) ||
        !lAxes || *lAxes < 1 || *lAxes > 3) {
        return "compressed image has no valid ZBITPIX or ZNAXIS";
    }
    std::uint64_t lTiles = 1;
    std::uint64_t lTilePixels = 1;
    std::array<std::uint64_t, 3> alSize{1, 1, 1};
    std::array<std::uint64_t, 3> alTile{1, 1, 1};
    for (long long n = 1; n <= *lAxes; ++n) {
        const auto lSize = Find(o, "ZNAXIS" + std::to_string(n));
        const auto lTile = Find(o, "ZTILE" + std::to_string(n)).value_or(n == 1 && lSize ? *lSize : 1);
        if (!lSize || *lSize < 1 || *lSize > (1LL << 31) || lTile < 1 || lTile > *lSize) {
            return "compressed image has no valid ZNAXIS" + std::to_string(n) + " or ZTILE" + std::to_string(n);
        }
        lTiles *= static_cast<std::uint64_t>((*lSize + lTile - 1) / lTile);
        lTilePixels *= static_cast<std::uint64_t>(lTile);
        alSize[static_cast<std::size_t>(n - 1)] = static_cast<std::uint64_t>(*lSize);
        alTile[static_cast<std::size_t>(n - 1)] = static_cast<std::uint64_t>(lTile);
        if (lTiles > (1ULL << 31) || lTilePixels > (1ULL << 31)) {
            return "compressed image declares more tiles or pixels than any spectrum has";
        }
    }
    // The pixels of tile lRow: the tiles at the far ends of the axes are cut short by the image.
    const auto PixelsOfTile = [&alSize, &alTile](std::uint64_t lRow) {
        std::uint64_t lPixels = 1;
        for (std::size_t n = 0; n < 3; ++n) {
            const std::uint64_t lAlong = (alSize[n] + alTile[n] - 1) / alTile[n];
            const std::uint64_t lIndex = lRow % lAlong;
            lRow /= lAlong;
            lPixels *= std::min(alTile[n], alSize[n] - lIndex * alTile[n]);
        }
        return lPixels;
    };
    const auto lRowBytes = Find(o, "NAXIS1");
    const auto lRows = Find(o, "NAXIS2");
    const auto lFields = Find(o, "TFIELDS").value_or(0);
    if (!lRowBytes || !lRows || static_cast<std::uint64_t>(*lRows) != lTiles) {
        return "compressed image has " + std::to_string(lRows.value_or(0)) + " rows for " + std::to_string(lTiles) +
               " tiles";
    }
    const std::uint64_t lTable = static_cast<std::uint64_t>(*lRowBytes) * static_cast<std::uint64_t>(*lRows);
    const auto lHeapStart = static_cast<std::uint64_t>(Find(o, "THEAP").value_or(static_cast<long long>(lTable)));
    const auto lHeapEnd = lTable + static_cast<std::uint64_t>(Find(o, "PCOUNT").value_or(0));
    if (lHeapStart < lTable || lHeapStart > lHeapEnd) {
        return "compressed image has no valid THEAP";
    }
    // The columns of the tiles' bytes: each row holds a descriptor (count, offset into the heap).
    std::uint64_t lColumnStart = 0;
    for (long long lField = 1; lField <= lFields; ++lField) {
        const std::string sForm = Text(o, "TFORM" + std::to_string(lField));
        const std::uint64_t lBytes = FieldBytes(sForm);
        if (lBytes == 0) {
            return "compressed image has no valid TFORM" + std::to_string(lField);
        }
        const std::string sName = Text(o, "TTYPE" + std::to_string(lField));
        const auto lKind = sForm.find_first_of("PQ");
        const bool bTiles = sName == "COMPRESSED_DATA" || sName == "GZIP_COMPRESSED_DATA" || sName == "UNCOMPRESSED_DATA";
        if (bTiles && lKind != std::string::npos && lKind + 1 < sForm.size()) {
            const bool bWide = sForm[lKind] == 'Q';
            const std::uint64_t lElement = FieldBytes(std::string(1, sForm[lKind + 1]));
            const std::string sTable = fnRead(lDataStart, static_cast<std::size_t>(lTable));
            if (lElement == 0 || sTable.size() < lTable || lColumnStart + (bWide ? 16 : 8) > static_cast<std::uint64_t>(*lRowBytes)) {
                return "compressed image has a damaged tile table";
            }
            for (long long lRow = 0; lRow < *lRows; ++lRow) {
                const std::size_t lAt = static_cast<std::size_t>(static_cast<std::uint64_t>(lRow) *
                                                                 static_cast<std::uint64_t>(*lRowBytes) + lColumnStart);
                const std::size_t lWord = bWide ? 8 : 4;
                const std::uint64_t lCount = BigEndian(sTable, lAt, lWord);
                const std::uint64_t lOffset = BigEndian(sTable, lAt + lWord, lWord);
                if (lCount > (1ULL << 40) || lOffset > (1ULL << 40) ||
                    lHeapStart + lOffset + lCount * lElement > lHeapEnd) {
                    return "compressed tile " + std::to_string(lRow + 1) + " lies outside the file's heap";
                }
                if (bGzip && sName == "COMPRESSED_DATA" && lCount > 0 &&
                    !UnpacksTo(fnRead(lDataStart + lHeapStart + lOffset, static_cast<std::size_t>(lCount)),
                               PixelsOfTile(static_cast<std::uint64_t>(lRow)) *
                                   static_cast<std::uint64_t>(std::abs(*lBitpix) / 8))) {
                    return "compressed tile " + std::to_string(lRow + 1) + " is damaged";
                }
            }
        }
        lColumnStart += lBytes;
    }
    if (lColumnStart != static_cast<std::uint64_t>(*lRowBytes)) {
        return "compressed image's columns do not fill its rows";
    }
    return std::string();
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
        if (bTable && Text(*oHeader, "ZIMAGE") == "T") {
            if (const std::string sWhy = CheckCompressedImage(fnRead, *oHeader, lDataStart); !sWhy.empty()) {
                return sWhere + "'s " + sWhy;
            }
        }
        const auto lData = static_cast<std::uint64_t>(fData);
        lOffset = lDataStart + (lData + kBlock - 1) / kBlock * kBlock;
    }
    return std::string();
}

} // namespace quandrel::fits
