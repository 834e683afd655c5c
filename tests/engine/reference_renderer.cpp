#include "reference_renderer.h"

#include "frame_motion.h"
#include "frame_random.h"
#include "source_map.h"

namespace glimmer::testing {
namespace {

// trunc() for a double known to be within int32.
int32_t truncate(double v) { return static_cast<int32_t>(v); }

}  // namespace

void referenceRenderDissipation(const uint32_t* A, uint32_t* D, int32_t rows, int32_t rowBytes,
                                const TransitionSettings& s, int32_t position, int32_t total) {
    const int32_t width = rowBytes / 4;
    if (rows <= 0 || width <= 0) return;
    FrameMotion f;
    if (!prepareFrameMotion(s, position, total, width, rows, f)) return;
    FrameRandom random;

    bool pixelPass;
    int64_t cw, ch;
    if ((s.cellFlags & 1) == 0) {
        if (s.cellWidth < 0 || s.cellHeight < 0) return;
        pixelPass = s.cellWidth == 1 && s.cellHeight == 1;
        cw = s.cellWidth == 0 ? 1 : s.cellWidth;
        ch = s.cellHeight == 0 ? 1 : s.cellHeight;
    } else {
        const int32_t across = s.cellWidth == 0 ? 1 : s.cellWidth;
        const int32_t down = s.cellHeight == 0 ? 1 : s.cellHeight;
        if (across < 0 || down < 0) return;
        pixelPass = across >= width / 2 && down >= rows / 2;
        cw = width / across;
        ch = rows / down;
        if (cw == 0) cw = 1;
        if (ch == 0) ch = 1;
    }
    if (pixelPass) cw = ch = 1;
    const int64_t nCols = width / cw + (width % cw ? 1 : 0);
    const int64_t nRows = rows / ch + (rows % ch ? 1 : 0);

    for (int64_t n = 0; n < nRows; ++n) {
        const int64_t cy = (s.orderFlags & 1) ? nRows - 1 - n : n;
        for (int64_t m = 0; m < nCols; ++m) {
            const int64_t cx = (s.orderFlags & 2) ? nCols - 1 - m : m;
            const int32_t x0 = static_cast<int32_t>(cx * cw), y0 = static_cast<int32_t>(cy * ch);

            const double mD = sampleSourceMap(x0, y0, width, rows, s.delayMap, A, D);
            const int32_t r1 = random.next() & 255;
            const double delay = elementDelay(f, r1, mD);
            const int32_t r2 = random.next() & 255;
            const double life = elementLife(f, r2);
            const double age = f.clock - delay;
            const double tau = age * f.timeScale;

            if (!(f.clock > delay)) {
                // Bounded by the frame: a cell may be 2^31 - 1 pixels wide.
                for (int64_t j = 0; j < ch && y0 + j < rows; ++j)
                    for (int64_t i = 0; i < cw && x0 + i < width; ++i)
                        D[(y0 + j) * width + x0 + i] = A[(y0 + j) * width + x0 + i];
                random.next();
                random.next();
                continue;
            }
            const double mY = sampleSourceMap(x0, y0, width, rows, s.movingYMap, A, D);
            const int32_t r3 = (random.next() & 255) - 128;
            const double dy = displacement(f.speedAt(speedIndex(f, r3, mY, f.yIndexBase)), tau, f.yShare,
                                           f.gravityAccel);
            const double mX = sampleSourceMap(x0, y0, width, rows, s.movingXMap, A, D);
            const int32_t r4 = (random.next() & 255) - 128;
            const double dx = displacement(f.speedAt(speedIndex(f, r4, mX, f.xIndexBase)), tau, f.xShare,
                                           f.windAccel);
            if (life < age) continue;

            if (pixelPass) {
                const double fy = y0 - dy, fx = x0 - dx;
                // trunc(f) > 0 and trunc(f) < limit, tested before converting.
                if (!(fy >= 1 && fy < rows && fx >= 1 && fx < width)) continue;
                D[static_cast<int64_t>(truncate(fy)) * width + truncate(fx)] = A[int64_t{y0} * width + x0];
            } else {
                if (!(dy > -rows && dy < rows && dx > -width && dx < width)) continue;
                const int64_t dyi = truncate(dy), dxi = truncate(dx);
                for (int64_t j = 0; j < ch && y0 + j < rows; ++j)
                    for (int64_t i = 0; i < cw && x0 + i < width; ++i) {
                        const int64_t tx = x0 + i - dxi, ty = y0 + j - dyi;
                        if (tx >= 0 && tx < width && ty >= 0 && ty < rows)
                            D[ty * width + tx] = A[(y0 + j) * width + x0 + i];
                    }
            }
        }
    }
}

}  // namespace glimmer::testing
