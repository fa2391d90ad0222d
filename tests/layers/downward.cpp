// The line library sits on the core: reaching down to it compiles.
#include "core/MeasuredDataArrayClass.h"
#include "lines/SpectralLineContainerClass.h"

int LayerProbe()
{
    return CMeasuredDataArray().GetArraySize() + CSpectralLineContainer().GetSpectralLineCount();
}
