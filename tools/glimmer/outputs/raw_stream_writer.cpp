#include "outputs/raw_stream_writer.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <vector>

#include <sys/uio.h>
#include <unistd.h>

#include "common/tool_error.h"

namespace glimmer::tool {

bool writeRowsTopFirst(int fd, const Picture& picture) {
    const std::size_t rowBytes = static_cast<std::size_t>(picture.width) * 4;
    std::vector<iovec> rows;
    rows.reserve(static_cast<std::size_t>(picture.rows));
    for (int32_t r = picture.rows - 1; r >= 0; --r) rows.push_back({const_cast<uint32_t*>(picture.row(r)), rowBytes});
    std::size_t first = 0;
    while (first < rows.size()) {
        const int count = static_cast<int>(std::min<std::size_t>(rows.size() - first, IOV_MAX));
        const ssize_t n = writev(fd, &rows[first], count);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        // Skip what went out; a row written in part keeps its rest.
        for (std::size_t left = static_cast<std::size_t>(n); left > 0;) {
            const std::size_t step = std::min(left, rows[first].iov_len);
            rows[first].iov_base = static_cast<char*>(rows[first].iov_base) + step;
            rows[first].iov_len -= step;
            left -= step;
            if (rows[first].iov_len == 0) ++first;
        }
    }
    return true;
}

void RawStreamWriter::take(int32_t, const Picture& frame) {
    if (!writeRowsTopFirst(STDOUT_FILENO, frame))
        throw ToolError(std::string("cannot write to standard output: ") + std::strerror(errno));
}

}  // namespace glimmer::tool
