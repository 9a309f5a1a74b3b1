#include "rank/text_file.h"

#include "platform/files.h"

#include <algorithm>

bool TextFileReader::open(const std::string& path)
{
    if (!platform::readFile(path, bytes_, MaxBytes)) return false;
    takeText(reinterpret_cast<const char*>(bytes_.data()), bytes_.size());
    return true;
}

void TextFileReader::openBytes(const std::string& bytes)
{
    takeText(bytes.data(), std::min(bytes.size(), MaxBytes));
}

void TextFileReader::takeText(const char* bytes, std::size_t size)
{
    // The text ends at the first zero byte, as a C string would. Assigned
    // from characters, not iterators over other bytes: that would build a
    // temporary string on every read.
    text_.assign(bytes, std::find(bytes, bytes + size, '\0'));
    indexLines();
}

void TextFileReader::reserve(std::size_t bytes)
{
    bytes_.reserve(bytes + 1);  // the reader asks for one byte more to see the end
    text_.reserve(bytes);
    pairEnds_.reserve(bytes / 2 + 1);
}

void TextFileReader::indexLines()
{
    pairEnds_.clear();
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = text_.find("\r\n", from);
        if (at == std::string::npos) break;
        from = at + 2;
        pairEnds_.push_back(static_cast<int>(from));
    }
}

int TextFileReader::lineCount() const { return static_cast<int>(pairEnds_.size()) + 1; }

int TextFileReader::lineStart(int n) const
{
    if (n == 0) return 0;
    if (n < 0 || n > static_cast<int>(pairEnds_.size())) return -1;
    return pairEnds_[n - 1];
}

int TextFileReader::lineLength(int n) const
{
    const int count = lineCount();
    if (n < 0 || n >= count) return -1;
    if (n == count - 1) return static_cast<int>(text_.size()) - lineStart(n);
    return lineStart(n + 1) - lineStart(n) - 2;
}

int TextFileReader::line(std::string& out, int n) const
{
    const int length = lineLength(n);
    if (length < 0) return -1;
    const std::size_t start = static_cast<std::size_t>(lineStart(n));
    if (start >= text_.size())
        out.clear();
    else
        out.assign(text_, start, static_cast<std::size_t>(length));
    return length;
}

bool writeTextFile(const std::string& text, const std::string& path, std::string* reason)
{
    return platform::replaceFile(path, text, reason);
}
