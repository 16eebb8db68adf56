// The earth and sky textures, drawn from noise with fixed seeds.
#include "datagen.h"

#include "bmp_writer.h"
#include "noise.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int EARTH_SIZE = 512;
constexpr int SKY_WIDTH = 1024; // the sky is seen close up: small texels keep stars small
constexpr int SKY_HEIGHT = 512;

float SmoothStep(float e0, float e1, float x)
{
    const float t = std::clamp((x - e0) / (e1 - e0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

// Oceans, continents, ice and clouds. The earth's flat wrap shows about 0.7 of the texture
// and repeats it, so every noise here tiles on the texture's edges.
Image DrawEarth()
{
    Image img(EARTH_SIZE, EARTH_SIZE);
    const float sea = 0.5f;
    for (int y = 0; y < EARTH_SIZE; ++y) {
        for (int x = 0; x < EARTH_SIZE; ++x) {
            const float u = static_cast<float>(x) / EARTH_SIZE;
            const float v = static_cast<float>(y) / EARTH_SIZE;
            const float height = TileFbm(u * 5, v * 5, 5, 5, 6, 0xEA01u);
            const float wet = TileFbm(u * 6, v * 6, 6, 6, 4, 0xEA02u);
            const float cold = TileFbm(u * 3, v * 3, 3, 3, 4, 0xEA03u);
            const float cloud = TileFbm(u * 8, v * 8, 8, 8, 6, 0xEA04u);

            Rgb c;
            if (height < sea) {
                const float depth = SmoothStep(sea, sea - 0.1f, height);
                c = Mix(Rgb{40, 110, 185}, Rgb{12, 34, 96}, depth);
            } else {
                const float up = SmoothStep(sea, sea + 0.25f, height);
                const Rgb lowland = Mix(Rgb{176, 152, 96}, Rgb{52, 118, 48}, SmoothStep(0.42f, 0.55f, wet));
                c = Mix(lowland, Rgb{112, 96, 74}, up);
                if (height < sea + 0.012f) // a pale coastline
                    c = Mix(c, Rgb{200, 190, 140}, 0.5f);
            }
            // Small ice fields where it runs coldest; wide ones smear into white bands across
            // the globe's side.
            const float ice = SmoothStep(0.86f, 0.9f, cold + (height - sea) * 0.3f);
            c = Mix(c, Rgb{232, 240, 250}, ice);
            // Clouds, patchy, with white cores.
            const float cover = SmoothStep(0.58f, 0.8f, cloud) * 0.92f;
            c = Mix(c, Rgb{245, 248, 252}, cover);
            // Black would be a hole (the transparent colour): keep every texel visible.
            if (IsKeyBlack(c))
                c.b = 16;
            img.Set(x, y, c);
        }
    }
    return img;
}

// Black space with stars. The background stays exactly black, the transparent colour, so that the
// title shows through wherever no star lies: after a round the camera sits close inside the sky,
// and any dim haze there would fill the screen and hide the title.
Image DrawSky()
{
    Image img(SKY_WIDTH, SKY_HEIGHT);
    Rng rng(0x57A25u);
    for (int i = 0; i < 3200; ++i) {
        const int x = std::min(static_cast<int>(rng.Uniform() * SKY_WIDTH), SKY_WIDTH - 1);
        const int y = std::min(static_cast<int>(rng.Uniform() * SKY_HEIGHT), SKY_HEIGHT - 1);
        const float b = 70.0f + 185.0f * std::pow(rng.Uniform(), 3.0f);
        const float tint = rng.Range(-1.0f, 1.0f) * 0.2f;
        const Rgb star = MakeRgb(b * (1 + tint), b, b * (1 - tint));
        img.Set(x, y, star);
        if (b > 200.0f) { // the brightest get a small cross
            const Rgb halo = Mix(Rgb{}, star, 0.45f);
            img.Set((x + 1) % SKY_WIDTH, y, halo);
            img.Set((x + SKY_WIDTH - 1) % SKY_WIDTH, y, halo);
            img.Set(x, y + 1, halo);
            img.Set(x, y - 1, halo);
        }
    }
    return img;
}

} // namespace

bool WriteTextures(const std::string& folder)
{
    bool ok = WriteBmp24(folder + "/earth2_texture.bmp", DrawEarth());
    ok = WriteBmp24(folder + "/tenkyu_texture.bmp", DrawSky()) && ok;
    return ok;
}
