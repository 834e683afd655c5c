#include "raw_stream_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include <climits>
#include <sys/uio.h>
#include <unistd.h>

#include "tool_error.h"

namespace glimmer::tool {

void RawStreamWriter::take(int32_t, const Picture& frame) {
    // The rows in reverse, gathered: one system call for many rows and no
    // copy of the frame.
    const std::size_t rowBytes = static_cast<std::size_t>(frame.width) * 4;
    std::vector<iovec> rows;
    rows.reserve(static_cast<std::size_t>(frame.rows));
    for (int32_t r = frame.rows - 1; r >= 0; --r)
        rows.push_back({const_cast<uint32_t*>(frame.row(r)), rowBytes});
    std::size_t first = 0;
    while (first < rows.size()) {
        const int count = static_cast<int>(std::min<std::size_t>(rows.size() - first, IOV_MAX));
        const ssize_t n = writev(STDOUT_FILENO, &rows[first], count);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw ToolError(std::string("cannot write to standard output: ") + std::strerror(errno));
        // Skip what went out; a row written in part keeps its rest.
        for (std::size_t left = static_cast<std::size_t>(n); left > 0;) {
            const std::size_t step = std::min(left, rows[first].iov_len);
            rows[first].iov_base = static_cast<char*>(rows[first].iov_base) + step;
            rows[first].iov_len -= step;
            left -= step;
            if (rows[first].iov_len == 0) ++first;
        }
    }
}

}  // namespace glimmer::tool
