// CScript: the script text and the operations through which the rest of the
// program reads it. Every operation reads the whole text again from its start
// and keeps no state between calls; a missing section or key gives an empty
// result, never an error.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

using CStringArray = std::vector<std::string>;

class CScript {
public:
    CScript() = default;
    explicit CScript(std::string text) : m_text(std::move(text)) {}

    void SetText(std::string text) { m_text = std::move(text); }
    const std::string& GetText() const { return m_text; }
    bool IsEmpty() const { return m_text.empty(); }

    // The line at pos (up to the next LF, every CR removed); pos moves past
    // the LF. At or past the end: empty, and pos stays.
    static std::string GetNextLine(const std::string& text, std::size_t& pos);

    // Cuts the line before its first ';'. No quoting: a ';' in a value cuts too.
    static std::string& StripComment(std::string& line);

    // From the first "[name]" anywhere in the text up to the next '[' or the end.
    std::string GetSection(const std::string& name) const;

    // Appends the section's non-empty lines, untrimmed; element 0 is the
    // header line. With lineNumbers, also appends each line's number in the
    // whole text (from 1), so a checker can point at what the builder reads.
    void GetSectionLines(const std::string& name, CStringArray& lines,
                         std::vector<int>* lineNumbers = nullptr) const;

    // Appends the section's pair list: head name (ending in ':'), value,
    // then parameter name (" To"), value, ... always an even count. With
    // lineNumbers, also appends the line number of each string.
    void GetSectionPairs(const std::string& name, CStringArray& pairs,
                         std::vector<int>* lineNumbers = nullptr) const;

    // The same strings, each handed to take with its line number as it is
    // found, for a caller that need not hold them all at once.
    using StringTaker = std::function<void(std::string&& text, int lineNumber)>;
    void ForEachSectionLine(const std::string& name, const StringTaker& take) const;
    void ForEachSectionPair(const std::string& name, const StringTaker& take) const;

    // The trimmed text after '=' on the line where the key first occurs.
    std::string GetKeyValue(const std::string& key) const;

private:
    // The section's text and the number of the line its header is on.
    std::string GetSection(const std::string& name, int& firstLine) const;

    std::string m_text;
};
