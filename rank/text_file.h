// Line access to small text files and whole-file replacement. The rank file
// is their one user (a save, which must read and write under one lock, goes
// through platform::LockedFile instead of writeTextFile).
//
// Line rules: lines are separated by the two bytes CR LF only (a lone CR or a
// lone LF is part of the line), a zero byte ends the text, and a text that
// ends with CR LF has one more, empty, line. Lines count from 0.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class TextFileReader {
public:
    // Files larger than this are read only up to this many bytes; the rank
    // file is a few dozen bytes, and a cap keeps a stray huge file from
    // being loaded whole.
    static constexpr std::size_t MaxBytes = 64 * 1024;

    TextFileReader() = default;
    virtual ~TextFileReader() = default;

    // Loads the file at path (its first MaxBytes bytes), keeping the bytes
    // before the first zero byte as the text. False when the file cannot be
    // opened or read; the text then stays as it was (empty for a new reader).
    bool open(const std::string& path);

    // Takes bytes as open takes a file's content (the first MaxBytes, up to
    // the first zero byte), so the lines of a text in memory read exactly
    // as they would from a file holding it.
    void openBytes(const std::string& bytes);

    // Number of CR LF pairs in the text plus 1 (an empty text has 1 line).
    int lineCount() const;

    // Offset of line n: 0 for n = 0, else just after the n-th CR LF pair;
    // -1 when there are fewer than n pairs or n is negative.
    int lineStart(int n) const;

    // Length of line n without its CR LF; -1 when n is negative or not below
    // lineCount().
    int lineLength(int n) const;

    // Sets out to the bytes of line n and returns lineLength(n). When n is
    // negative or not below lineCount(), returns -1 and leaves out untouched.
    int line(std::string& out, int n) const;

    // Makes room for a file of up to bytes bytes, so opening one allocates
    // nothing.
    void reserve(std::size_t bytes);

    // The whole text (bytes before the first zero byte).
    const std::string& text() const { return text_; }

private:
    void takeText(const char* bytes, std::size_t size);
    void indexLines();

    std::string text_;
    // The file's bytes as read; kept, like text_ and pairEnds_, so that a
    // reader opened again and again allocates only when a file outgrows it.
    std::vector<unsigned char> bytes_;
    // Offset just after each CR LF pair, in order: lineStart(n) is
    // pairEnds_[n - 1]. Built once per open instead of rescanning per call.
    std::vector<int> pairEnds_;
};

// Replaces the file at path with text, atomically (a crash leaves the old or
// the new file, never a mix or nothing), creating its directory when that one
// level is missing. False when the file could not be replaced; the old file is
// then unchanged and reason, when given, says why.
bool writeTextFile(const std::string& text, const std::string& path, std::string* reason = nullptr);
