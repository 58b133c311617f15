#pragma once

#include <QByteArrayView>
#include <cstring>

// Memo line rule: a line ends at CR LF or at a lone CR; a lone LF is an ordinary character; a
// terminator at the very end of the file starts no further line. CR never occurs inside a CP932
// character, so the bytes can be split before they are decoded.
// Calls f(line) for each line in order until it returns false; returns the number of lines visited.
template <typename F> qsizetype forEachMemoLine(QByteArrayView bytes, F&& f)
{
    const char* data = bytes.data();
    const qsizetype n = bytes.size();
    qsizetype start = 0;
    qsizetype count = 0;
    while (start < n) {
        const void* cr = std::memchr(data + start, '\r', static_cast<size_t>(n - start));
        const qsizetype end = cr ? static_cast<const char*>(cr) - data : n;
        ++count;
        if (!f(QByteArrayView(data + start, end - start)))
            return count;
        start = end + 1;
        if (end < n && start < n && data[start] == '\n')
            ++start;
    }
    return count;
}
