// Placeholder until the sprites writer lands.
#include "datagen.h"

bool WriteSprites(const std::string& folder)
{
    (void)folder;
    return true;
}
