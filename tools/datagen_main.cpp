// datagen FOLDER: writes the game's data files into FOLDER.
#include "datagen.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: datagen FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    bool ok = true;
    ok = WriteSprites(folder) && ok;
    ok = WriteModels(folder) && ok;
    ok = WriteTextures(folder) && ok;
    ok = WriteSounds(folder) && ok;
    ok = WriteIcons(folder) && ok;
    if (!ok) {
        std::fprintf(stderr, "datagen: some data could not be written\n");
        return 1;
    }
    return 0;
}
