#include "rank/text_file.h"

#include "platform/files.h"

#include <algorithm>

bool TextFileReader::open(const std::string& path)
{
    std::vector<unsigned char> bytes;
    if (!platform::readFile(path, bytes, MaxBytes))
        return false;
    takeText(bytes.begin(), bytes.end());
    return true;
}

void TextFileReader::openBytes(const std::string& bytes)
{
    takeText(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min(bytes.size(), MaxBytes)));
}

template <typename Iterator>
void TextFileReader::takeText(Iterator begin, Iterator end)
{
    // The text ends at the first zero byte, as a C string would.
    text_.assign(begin, std::find(begin, end, 0));
    indexLines();
}

void TextFileReader::indexLines()
{
    pairEnds_.clear();
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = text_.find("\r\n", from);
        if (at == std::string::npos)
            break;
        from = at + 2;
        pairEnds_.push_back(static_cast<int>(from));
    }
}

int TextFileReader::lineCount() const
{
    return static_cast<int>(pairEnds_.size()) + 1;
}

int TextFileReader::lineStart(int n) const
{
    if (n == 0)
        return 0;
    if (n < 0 || n > static_cast<int>(pairEnds_.size()))
        return -1;
    return pairEnds_[n - 1];
}

int TextFileReader::lineLength(int n) const
{
    const int count = lineCount();
    if (n < 0 || n >= count)
        return -1;
    if (n == count - 1)
        return static_cast<int>(text_.size()) - lineStart(n);
    return lineStart(n + 1) - lineStart(n) - 2;
}

int TextFileReader::line(std::string& out, int n) const
{
    const int length = lineLength(n);
    if (length < 0)
        return -1;
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
