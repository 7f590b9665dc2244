// The limit on the size of a loaded image is the platform layer's one setting (see
// platform/core/diagnostics.h): the TGA loader here and the image-file decoder there read it.
#include "MoxImage2.h"

#include "platform/core/diagnostics.h"

void MoxSetMaxImagePixels(unsigned long long pixels)
{
    moxplat::SetMaxImagePixels(pixels);
}

unsigned long long MoxGetMaxImagePixels()
{
    return moxplat::GetMaxImagePixels();
}
