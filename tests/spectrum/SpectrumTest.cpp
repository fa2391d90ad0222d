#include "spectrum/SpectrumList.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

std::unique_ptr<Spectrum> MakeSpectrum(const std::vector<double>& vIntensity)
{
    auto pSpectrum = std::make_unique<Spectrum>();
    std::vector<double> vWavelength(vIntensity.size());
    for (std::size_t i = 0; i < vWavelength.size(); ++i) {
        vWavelength[i] = 6500.0 + static_cast<double>(i);
    }
    pSpectrum->SetValues(static_cast<int32_t>(vIntensity.size()), vWavelength.data(), vIntensity.data());
    return pSpectrum;
}

} // namespace

TEST(Spectrum, StartsEmptyWithoutFlagsOrTime)
{
    Spectrum oSpectrum;
    EXPECT_EQ(oSpectrum.GetNumberValues(), 0);
    EXPECT_EQ(oSpectrum.Key(), 0.0);
    EXPECT_FALSE(oSpectrum.IsReferenceSpectrum());
    EXPECT_FALSE(oSpectrum.IsEmissionSpectrum());
    double fTime = 42.0;
    EXPECT_FALSE(oSpectrum.GetObservationTime(fTime));
}

TEST(Spectrum, ValuesRoundTripAndSumInIndexOrder)
{
    const std::vector<double> vIntensity = {1e16, 1.0, -1e16, 1.0};
    auto pSpectrum = MakeSpectrum(vIntensity);
    ASSERT_EQ(pSpectrum->GetNumberValues(), 4);
    std::vector<double> vW(4), vI(4);
    pSpectrum->GetValues(4, vW.data(), vI.data());
    EXPECT_EQ(vI, vIntensity);
    EXPECT_EQ(vW[3], 6503.0);
    // Summed from index 0 upwards: 1e16 + 1 is lost, the last 1 is kept.
    EXPECT_EQ(pSpectrum->Key(), ((1e16 + 1.0) - 1e16) + 1.0);

    pSpectrum->SetValues(2, vW.data(), vI.data());
    EXPECT_EQ(pSpectrum->GetNumberValues(), 2);
    pSpectrum->ClearValues();
    EXPECT_EQ(pSpectrum->GetNumberValues(), 0);
}

TEST(Spectrum, KeepsFlagsAndObservationTime)
{
    auto pSpectrum = MakeSpectrum({1, 2, 3});
    pSpectrum->SetReferenceSpectrum(true);
    pSpectrum->SetEmissionSpectrum(true);
    EXPECT_TRUE(pSpectrum->IsReferenceSpectrum());
    EXPECT_TRUE(pSpectrum->IsEmissionSpectrum());

    pSpectrum->SetObservationTime(2459739.3852);
    double fTime = 0;
    EXPECT_TRUE(pSpectrum->GetObservationTime(fTime));
    EXPECT_EQ(fTime, 2459739.3852);
    EXPECT_EQ(pSpectrum->FindNearestIndex(6501.6), 2);
}

TEST(SpectrumList, RemovingClosesTheGapAndOutsideIsNotFound)
{
    SpectrumList oContainer;
    EXPECT_TRUE(oContainer.IsEmpty());
    std::vector<Spectrum*> vAdded;
    for (int i = 0; i < 3; ++i) {
        auto pSpectrum = MakeSpectrum({static_cast<double>(i)});
        vAdded.push_back(pSpectrum.get());
        oContainer.AddSpectrum(std::move(pSpectrum));
    }
    EXPECT_EQ(oContainer.GetSpectrumCount(), 3);
    oContainer.RemoveSpectrum(0);
    bool bFound = false;
    EXPECT_EQ(oContainer.GetSpectrum(0, bFound), vAdded[1]);
    EXPECT_TRUE(bFound);
    EXPECT_EQ(oContainer.GetSpectrum(1, bFound), vAdded[2]);
    EXPECT_EQ(oContainer.GetSpectrum(2, bFound), nullptr);
    EXPECT_FALSE(bFound);
    EXPECT_EQ(oContainer.GetSpectrum(-1, bFound), nullptr);
    EXPECT_FALSE(bFound);

    oContainer.RemoveSpectrum(7);
    oContainer.RemoveSpectrum(-1);
    EXPECT_EQ(oContainer.GetSpectrumCount(), 2);
}
