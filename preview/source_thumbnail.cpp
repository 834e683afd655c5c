#include "source_thumbnail.h"

#include <algorithm>

#include "source_map.h"

void computeSourceThumbnail(uint32_t* thumbnail, const glimmer::SourceMap& map,
                            const ThumbnailSources& sources) {
    if (sources.width <= 0 || sources.rows <= 0) {
        std::fill(thumbnail, thumbnail + thumbnailWidth * thumbnailRows, 0u);
        return;
    }
    for (int32_t r = 0; r < thumbnailRows; ++r) {
        const int32_t y = static_cast<int32_t>(static_cast<int64_t>(r) * sources.rows / thumbnailRows);
        for (int32_t c = 0; c < thumbnailWidth; ++c) {
            const int32_t x = static_cast<int32_t>(static_cast<int64_t>(c) * sources.width / thumbnailWidth);
            const double value = glimmer::sampleSourceMap(x, y, sources.width, sources.rows, map,
                                                          sources.clip1Pixels, sources.clip2Pixels);
            const uint32_t grey = static_cast<uint32_t>(value) & 0xFF;
            thumbnail[r * thumbnailWidth + c] = grey * 0x01010101u;
        }
    }
}
