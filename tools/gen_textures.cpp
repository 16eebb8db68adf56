// Placeholder until the textures writer lands.
#include "datagen.h"

bool WriteTextures(const std::string& folder)
{
    (void)folder;
    return true;
}
