#include "inputs/sample_pictures.h"

#include <algorithm>
#include <cmath>

namespace glimmer::tool {
namespace {

struct Colour {
    double r, g, b;
};

Colour mix(const Colour& a, const Colour& b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

uint32_t toPixel(const Colour& c) {
    auto byte = [](double v) { return static_cast<uint8_t>(std::clamp(v, 0.0, 255.0)); };
    return pixelWord(byte(c.r), byte(c.g), byte(c.b));
}

Colour fromHue(double hue, double saturation, double value) {
    hue = hue - std::floor(hue);
    const double h = hue * 6.0;
    const int sector = static_cast<int>(h) % 6;
    const double f = h - std::floor(h);
    const double p = value * (1 - saturation), q = value * (1 - saturation * f), t = value * (1 - saturation * (1 - f));
    const double channels[6][3] = {{value, t, p}, {q, value, p}, {p, value, t}, {p, q, value}, {t, p, value}, {value, p, q}};
    return {channels[sector][0] * 255, channels[sector][1] * 255, channels[sector][2] * 255};
}

// A repeatable pseudo-random value in 0..1 for a pair of integers.
double hashUnit(int64_t a, int64_t b) {
    uint32_t h = static_cast<uint32_t>(a) * 374761393u + static_cast<uint32_t>(b) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return ((h ^ (h >> 16)) & 0xFFFFFF) / double(0xFFFFFF);
}

// Calls paint(u, v) for every pixel, u and v measured in picture heights
// from the top left, and stores the result in engine order.
template <typename Paint>
Picture paintPicture(int32_t width, int32_t rows, Paint paint) {
    Picture picture(width, rows);
    const double unit = 1.0 / rows;
    for (int32_t y = 0; y < rows; ++y) {
        uint32_t* row = picture.row(rows - 1 - y);
        for (int32_t x = 0; x < width; ++x) row[x] = toPixel(paint((x + 0.5) * unit, (y + 0.5) * unit));
    }
    return picture;
}

}  // namespace

Picture makeSunsetPicture(int32_t width, int32_t rows) {
    const double aspect = double(width) / rows;
    const double horizon = 0.64;
    const double sunX = aspect * 0.66, sunY = 0.44, sunRadius = 0.17;
    const Colour night{18, 16, 70}, dusk{190, 50, 120}, glow{255, 150, 60};
    const Colour farRidge{96, 36, 104}, nearRidge{44, 18, 64};
    const Colour deepSea{10, 30, 80}, shallowSea{30, 110, 140};
    const Colour sunTop{255, 240, 130}, sunBottom{255, 90, 70};
    return paintPicture(width, rows, [&](double u, double v) {
        if (v < horizon) {
            Colour sky = v < 0.35 ? mix(night, dusk, v / 0.35) : mix(dusk, glow, (v - 0.35) / (horizon - 0.35));
            const double starCell = 0.012;
            const int64_t cx = static_cast<int64_t>(u / starCell), cy = static_cast<int64_t>(v / starCell);
            if (v < 0.3 && hashUnit(cx, cy) > 0.93) sky = mix(sky, {255, 255, 230}, 1.0 - v / 0.3);
            const double dx = u - sunX, dy = v - sunY, distance = std::sqrt(dx * dx + dy * dy);
            const bool stripe = dy > 0.02 && std::fmod(dy * 60.0, 2.0) < (dy * 6.0);
            if (distance < sunRadius && !stripe) sky = mix(sunTop, sunBottom, (dy + sunRadius) / (2 * sunRadius));
            else if (distance < sunRadius * 1.8) sky = mix(sky, glow, 0.35 * (1.8 - distance / sunRadius));
            const double far = 0.50 + 0.05 * std::sin(u * 7.0) + 0.025 * std::sin(u * 17.0 + 1.0) + 0.01 * std::sin(u * 53.0);
            const double near = 0.57 + 0.035 * std::sin(u * 5.0 + 2.0) + 0.02 * std::sin(u * 23.0) + 0.006 * std::sin(u * 97.0);
            if (v > near) return mix(nearRidge, farRidge, 0.3 * std::sin(u * 40.0) * std::sin(v * 90.0));
            if (v > far) return mix(farRidge, sky, 0.25 * (near - v) / 0.1);
            return sky;
        }
        const double depth = (v - horizon) / (1.0 - horizon);
        Colour sea = mix(shallowSea, deepSea, depth);
        const double ripple = std::sin(v * 260.0 / (0.2 + depth) + 3.0 * std::sin(u * 11.0 + v * 40.0));
        sea = mix(sea, {120, 200, 230}, 0.18 * (ripple + 1.0));
        const double shimmer = std::fabs(u - sunX) / (sunRadius * (1.0 + 1.5 * depth));
        if (shimmer < 1.0 && ripple > 0.2) sea = mix(sea, glow, 1.0 - shimmer);
        return sea;
    });
}

Picture makeMosaicPicture(int32_t width, int32_t rows) {
    const double tile = 1.0 / 9.0;
    const Colour grout{24, 24, 32};
    return paintPicture(width, rows, [&](double u, double v) {
        const int64_t tx = static_cast<int64_t>(std::floor(u / tile)), ty = static_cast<int64_t>(std::floor(v / tile));
        const double fx = u / tile - tx, fy = v / tile - ty;
        if (fx < 0.06 || fy < 0.06) return grout;
        const double hue = 0.08 * tx + 0.05 * ty + 0.25 * hashUnit(tx, ty);
        const double dx = fx - 0.53, dy = fy - 0.53, radius = std::sqrt(dx * dx + dy * dy);
        const double band = u * 0.35 + v * 0.5;  // a diagonal rainbow sweeping the tiles
        Colour base = fromHue(hue + 0.3 * std::sin(band * 3.0), 0.75, 0.95);
        if (radius < 0.36 && radius > 0.26) return fromHue(hue + 0.5, 0.9, 1.0);
        if (radius < 0.14) return fromHue(hue + 0.25, 0.6, 0.55 + 0.45 * hashUnit(ty, tx));
        if ((static_cast<int64_t>(fx * 8) + static_cast<int64_t>(fy * 8)) % 2 == 0) base = mix(base, {255, 255, 255}, 0.18);
        return base;
    });
}

}  // namespace glimmer::tool
