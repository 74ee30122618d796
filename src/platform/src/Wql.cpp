#include "platform/Wql.h"

#include <cwctype>

namespace platform::wql {

namespace {

class Reader {
public:
    explicit Reader(std::wstring_view text) : m_text(text) {}

    bool Blanks()
    {
        const std::size_t start = m_at;
        while (m_at < m_text.size() && std::iswspace(static_cast<wint_t>(m_text[m_at]))) ++m_at;
        return m_at != start;
    }

    // An identifier-like word; empty when none starts here.
    std::wstring_view Word()
    {
        const std::size_t start = m_at;
        if (m_at < m_text.size() && (IsLetter(m_text[m_at]) || m_text[m_at] == L'_')) {
            ++m_at;
            while (m_at < m_text.size() && (IsLetter(m_text[m_at]) || IsDigit(m_text[m_at]) || m_text[m_at] == L'_'))
                ++m_at;
        }
        return m_text.substr(start, m_at - start);
    }

    bool Take(wchar_t c)
    {
        if (m_at >= m_text.size() || m_text[m_at] != c) return false;
        ++m_at;
        return true;
    }

    bool AtEnd() const { return m_at == m_text.size(); }

private:
    static bool IsLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }
    static bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

    std::wstring_view m_text;
    std::size_t m_at = 0;
};

bool IsKeyword(std::wstring_view word, std::wstring_view keyword)
{
    if (word.size() != keyword.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (std::towupper(static_cast<wint_t>(word[i])) != static_cast<wint_t>(keyword[i])) return false;
    return true;
}

}  // namespace

Select ReadSelect(std::wstring_view text)
{
    Select refused{WBEM_E_INVALID_QUERY, {}};
    Reader reader(text);
    reader.Blanks();
    if (!IsKeyword(reader.Word(), L"SELECT")) return refused;
    reader.Blanks();
    if (!reader.Take(L'*')) return refused;
    reader.Blanks();
    if (!IsKeyword(reader.Word(), L"FROM")) return refused;
    if (!reader.Blanks()) return refused;
    const std::wstring_view className = reader.Word();
    if (className.empty()) return refused;
    reader.Blanks();
    if (!reader.AtEnd()) return refused;
    return Select{S_OK, std::wstring(className)};
}

}  // namespace platform::wql
