// The line library sits below the spectra: reaching up to them must not compile.
#include "spectrum/SpectrumClass.h"

int LayerProbe()
{
    return CSpectrum(nullptr).GetNumberValues();
}
