// Placeholder until the sounds writer lands.
#include "datagen.h"

bool WriteSounds(const std::string& folder)
{
    (void)folder;
    return true;
}
