// The precondition report: expression, source unit and line, then the end.
#include "core/Assert.h"
#include "core/DataSeries.h"
#include "spectrum/Spectrum.h"
#include "core/Utils.h"

#include <gtest/gtest.h>

TEST(AssertionReport, NamesExpressionSourceUnitAndLine)
{
    EXPECT_DEATH(QASSERT(1 + 1 == 3), "^Assertion failed: 1 \\+ 1 == 3, file AssertionTest\\.cpp, line [0-9]+\n");
}

TEST(AssertionReport, GuardsElementAccessOfDataArrays)
{
    DataSeries oArray;
    oArray.SetSize(3);
    EXPECT_DEATH(oArray.GetX(3),
                 "Assertion failed: lIndex>=0 && lIndex<m_lArraySize, file DataSeries\\.cpp, line [0-9]+");
    EXPECT_DEATH(oArray.SetY(-1, 0.0), "lIndex>=0 && lIndex<m_lArraySize");
    const double afX[1] = {1.0};
    EXPECT_DEATH(oArray.SetValues(afX, nullptr, 1), "pfaValuesX!=NULL && pfaValuesY!=0 && lArraySize>0");
    EXPECT_DEATH(oArray.SetValues(afX, afX, 0), "pfaValuesX!=NULL && pfaValuesY!=0 && lArraySize>0");
    DataSeries oEmpty;
    EXPECT_DEATH(oEmpty.FindNearestIndex(1.0), "m_lArraySize>0");
}

TEST(AssertionReport, GuardsSpectrumAndUtilities)
{
    Spectrum oSpectrum;
    EXPECT_DEATH(oSpectrum.SetValues(3, nullptr, nullptr), "fValues1!=NULL && fValues2!=NULL, file Spectrum\\.cpp");
    EXPECT_DEATH(oSpectrum.FindNearestIndex(1.0), "file Spectrum\\.cpp");
    EXPECT_DEATH(LinearStep(0.0, 1.0, -1, 4), "Index>=0 && lValueCount>0, file Utils\\.cpp");
    EXPECT_DEATH(LinearStep(0.0, 1.0, 0, 0), "Index>=0 && lValueCount>0");
}
