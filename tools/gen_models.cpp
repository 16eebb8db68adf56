// Placeholder until the models writer lands.
#include "datagen.h"

bool WriteModels(const std::string& folder)
{
    (void)folder;
    return true;
}
