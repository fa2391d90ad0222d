// The line library sits below the spectra: reaching up to them must not compile.
#include "spectrum/Spectrum.h"

int LayerProbe()
{
    return Spectrum().GetNumberValues();
}
