// The precondition report: expression, source unit and line, then the end.
#include "core/Assert.h"
#include "core/MeasuredDataArrayClass.h"
#include "spectrum/SpectrumClass.h"
#include "core/UtilsClass.h"

#include <gtest/gtest.h>

TEST(AssertionReport, NamesExpressionSourceUnitAndLine)
{
    EXPECT_DEATH(QASSERT(1 + 1 == 3), "^Assertion failed: 1 \\+ 1 == 3, file AssertionTest\\.cpp, line [0-9]+\n");
}

TEST(AssertionReport, GuardsElementAccessOfDataArrays)
{
    CMeasuredDataArray oArray;
    oArray.SetSize(3);
    EXPECT_DEATH(oArray.GetX(3),
                 "Assertion failed: lIndex>=0 && lIndex<m_lArraySize, file MeasuredDataArrayClass\\.cpp, line [0-9]+");
    EXPECT_DEATH(oArray.SetY(-1, 0.0), "lIndex>=0 && lIndex<m_lArraySize");
    const double afX[1] = {1.0};
    EXPECT_DEATH(oArray.SetValues(afX, nullptr, 1), "pfaValuesX!=NULL && pfaValuesY!=0 && lArraySize>0");
    EXPECT_DEATH(oArray.SetValues(afX, afX, 0), "pfaValuesX!=NULL && pfaValuesY!=0 && lArraySize>0");
    CMeasuredDataArray oEmpty;
    EXPECT_DEATH(oEmpty.FindNearestIndex(1.0), "m_lArraySize>0");
}

TEST(AssertionReport, GuardsSpectrumAndUtilities)
{
    CSpectrum oSpectrum(nullptr);
    EXPECT_DEATH(oSpectrum.SetValues(3, nullptr, nullptr), "fValues1!=NULL && fValues2!=NULL, file SpectrumClass\\.cpp");
    EXPECT_DEATH(oSpectrum.FindNearestIndex(1.0), "file SpectrumClass\\.cpp");
    EXPECT_DEATH(LinearStep(0.0, 1.0, -1, 4), "Index>=0 && lValueCount>0, file UtilsClass\\.cpp");
    EXPECT_DEATH(LinearStep(0.0, 1.0, 0, 0), "Index>=0 && lValueCount>0");
}
