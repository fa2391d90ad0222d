// The line library sits on the core: reaching down to it compiles.
#include "core/DataSeries.h"
#include "lines/SpectralLineList.h"

int LayerProbe()
{
    return DataSeries().GetArraySize() + SpectralLineList().GetSpectralLineCount();
}
