#include "script/Script.h"

#include "script/StrUtil.h"

#include <algorithm>

std::string CScript::GetNextLine(const std::string& text, std::size_t& pos)
{
    if (pos >= text.size())
        return {};
    const std::size_t lf = text.find('\n', pos);
    std::string line;
    if (lf == std::string::npos) {
        line = text.substr(pos);
        pos = text.size();
    } else {
        line = text.substr(pos, lf - pos);
        pos = lf + 1;
    }
    std::erase(line, '\r');
    return line;
}

std::string& CScript::StripComment(std::string& line)
{
    const std::size_t semi = line.find(';');
    if (semi != std::string::npos)
        line.erase(semi);
    return line;
}

std::string CScript::GetSection(const std::string& name) const
{
    int firstLine = 0;
    return GetSection(name, firstLine);
}

std::string CScript::GetSection(const std::string& name, int& firstLine) const
{
    const std::string header = "[" + name + "]";
    const std::size_t start = m_text.find(header);
    if (start == std::string::npos)
        return {};
    firstLine = 1 + static_cast<int>(std::count(m_text.begin(), m_text.begin() + static_cast<std::ptrdiff_t>(start), '\n'));
    const std::size_t next = m_text.find('[', start + header.size());
    return m_text.substr(start, next == std::string::npos ? std::string::npos : next - start);
}

void CScript::GetSectionLines(const std::string& name, CStringArray& lines, std::vector<int>* lineNumbers) const
{
    ForEachSectionLine(name, [&lines, lineNumbers](std::string&& line, int lineNumber) {
        lines.push_back(std::move(line));
        if (lineNumbers)
            lineNumbers->push_back(lineNumber);
    });
}

void CScript::ForEachSectionLine(const std::string& name, const StringTaker& take) const
{
    int lineNumber = 0;
    const std::string section = GetSection(name, lineNumber);
    std::size_t pos = 0;
    for (; pos < section.size(); ++lineNumber) {
        std::string line = GetNextLine(section, pos);
        if (!line.empty())
            take(std::move(line), lineNumber);
    }
}

std::string CScript::GetKeyValue(const std::string& key) const
{
    std::size_t pos = m_text.find(key);
    if (pos == std::string::npos)
        return {};
    const std::string line = GetNextLine(m_text, pos);
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos)
        return {};
    return str::Trimmed(line.substr(eq + 1));
}

namespace {

// Splits one comment-free line into pairs. Each round takes the name up to
// the first '=' (else ':'), the value up to the next ':', and hands the word
// before that colon to the next round as its parameter name. A round that
// could not shorten the line (no blank before the next colon, or only at its
// very start) takes the text up to that colon as its value and ends the line,
// so every line ends.
void SplitLine(std::string_view rest, int lineNumber, const CScript::StringTaker& take)
{
    // What remains only loses its front, so the first '=' stays where it is
    // until it is cut off: finding it once per cut keeps long lines linear.
    std::size_t eq = rest.find('=');
    bool firstPair = true;
    for (;;) {
        std::size_t sep = eq;
        if (sep == std::string_view::npos)
            sep = rest.find(':');
        if (sep == std::string_view::npos)
            return;

        std::string name(rest.substr(0, sep));
        const std::size_t next = rest.find(':', sep + 1);
        std::string value(rest.substr(sep + 1, next == std::string_view::npos ? std::string_view::npos : next - sep - 1));
        str::Trim(value);

        bool more = false;
        if (next != std::string_view::npos) {
            const std::size_t blank = rest.rfind(' ', next - 1);
            if (blank != std::string_view::npos && blank > 0) {
                const std::size_t cut = value.rfind(' ');
                value.erase(cut == std::string::npos ? 0 : cut);
                rest.remove_prefix(blank);
                if (eq != std::string_view::npos)
                    eq = eq >= blank ? eq - blank : rest.find('=');
                more = true;
            }
        }

        if (firstPair) {
            name += ':';
            firstPair = false;
        }
        str::ReplaceAll(value, "#!", "://");
        str::ReplaceAll(value, "#?", ":\\");
        str::Trim(value);

        take(std::move(name), lineNumber);
        take(std::move(value), lineNumber);
        if (!more)
            return;
    }
}

} // namespace

void CScript::GetSectionPairs(const std::string& name, CStringArray& pairs, std::vector<int>* lineNumbers) const
{
    ForEachSectionPair(name, [&pairs, lineNumbers](std::string&& text, int lineNumber) {
        pairs.push_back(std::move(text));
        if (lineNumbers)
            lineNumbers->push_back(lineNumber);
    });
}

void CScript::ForEachSectionPair(const std::string& name, const StringTaker& take) const
{
    int lineNumber = 0;
    std::string text = GetSection(name, lineNumber);
    text += "\r\n";
    // Colons of URLs and drive paths do not separate; they come back in values.
    str::ReplaceAll(text, "://", "#!");
    str::ReplaceAll(text, ":\\", "#?");

    std::size_t pos = 0;
    for (; pos < text.size(); ++lineNumber) {
        std::string line = GetNextLine(text, pos);
        if (line.empty())
            continue;
        if (StripComment(line).empty())
            continue;
        SplitLine(line, lineNumber, take);
    }
}
