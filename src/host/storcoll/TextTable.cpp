#include "TextTable.h"

#include <algorithm>
#include <numeric>

namespace Storcoll {

namespace {

constexpr std::size_t kColumnGap = 2;
constexpr std::size_t kNarrowestCut = 8;
// The last column wraps rather than cuts, down to this width.
constexpr std::size_t kNarrowestWrap = 24;

// `text` in lines of at most `columns` columns, broken at blanks where it can.
std::vector<std::string> Wrap(const std::string& text, std::size_t columns)
{
    std::vector<std::string> lines;
    std::string rest = text;
    while (TextColumns(rest) > columns) {
        // The byte where the first `columns` columns end.
        std::size_t end = 0;
        for (std::size_t taken = 0; end < rest.size(); ++end) {
            const bool starts = (static_cast<unsigned char>(rest[end]) & 0xC0) != 0x80;
            if (starts && taken++ == columns) {
                break;
            }
        }
        const std::size_t blank = rest.rfind(' ', end);
        const std::size_t cut = blank != std::string::npos && blank > 0 ? blank : end;
        lines.push_back(rest.substr(0, cut));
        rest = rest.substr(cut == blank ? cut + 1 : cut);
    }
    lines.push_back(rest);
    return lines;
}

// The first `columns` columns of `text`, the last one an ellipsis when cut.
std::string Cut(const std::string& text, std::size_t columns)
{
    if (TextColumns(text) <= columns) {
        return text;
    }
    std::string cut;
    std::size_t taken = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const auto byte = static_cast<unsigned char>(text[at]);
        const bool starts = (byte & 0xC0) != 0x80;
        if (starts && taken + 1 == columns) {
            break;
        }
        taken += starts ? 1 : 0;
        cut.push_back(text[at]);
    }
    return cut + "\u2026";
}

}  // namespace

std::string Colored(const std::string& text, Tone tone)
{
    const char* code = nullptr;
    switch (tone) {
    case Tone::Good:
        code = "\x1b[32m";
        break;
    case Tone::Caution:
        code = "\x1b[33m";
        break;
    case Tone::Bad:
        code = "\x1b[1;31m";
        break;
    case Tone::Faint:
        code = "\x1b[2m";
        break;
    case Tone::Plain:
        return text;
    }
    return code + text + "\x1b[0m";
}

std::size_t TextColumns(const std::string& text)
{
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

TextTable::TextTable(std::vector<Column> columns) : m_columns(std::move(columns)) {}

void TextTable::AddRow(std::vector<Cell> cells)
{
    cells.resize(m_columns.size());
    // Devices pad their texts with blanks (an ATA model fills 40 characters).
    for (auto& cell : cells) {
        while (!cell.Text.empty() && cell.Text.back() == ' ') {
            cell.Text.pop_back();
        }
    }
    m_rows.push_back(std::move(cells));
}

void TextTable::Print(std::ostream& out, int width, bool color, int indent) const
{
    std::vector<std::size_t> widths(m_columns.size());
    for (std::size_t column = 0; column < m_columns.size(); ++column) {
        widths[column] = TextColumns(m_columns[column].Header);
        for (const auto& row : m_rows) {
            widths[column] = std::max(widths[column], TextColumns(row[column].Text));
        }
    }
    // Narrows the widest left-aligned (text) column, one column at a time,
    // until the table fits or no text column can give more.
    const auto total = [&] {
        return static_cast<std::size_t>(indent) + std::accumulate(widths.begin(), widths.end(), std::size_t{0}) +
               kColumnGap * (widths.empty() ? 0 : widths.size() - 1);
    };
    const std::size_t last = widths.empty() ? 0 : widths.size() - 1;
    const bool wraps = !widths.empty() && m_columns[last].Align == Align::Left;
    if (wraps && width > 0 && total() > static_cast<std::size_t>(width) && widths[last] > kNarrowestWrap) {
        widths[last] -= std::min(widths[last] - kNarrowestWrap, total() - static_cast<std::size_t>(width));
    }
    while (width > 0 && total() > static_cast<std::size_t>(width)) {
        std::size_t widest = widths.size();
        for (std::size_t column = 0; column < widths.size(); ++column) {
            if (m_columns[column].Align == Align::Left && column != last && widths[column] > kNarrowestCut &&
                (widest == widths.size() || widths[column] > widths[widest])) {
                widest = column;
            }
        }
        if (widest == widths.size()) {
            break;
        }
        widths[widest] -= std::min(widths[widest] - kNarrowestCut, total() - static_cast<std::size_t>(width));
    }

    const auto printRow = [&](const std::vector<Cell>& cells, bool header) {
        std::string line(static_cast<std::size_t>(indent), ' ');
        for (std::size_t column = 0; column < cells.size(); ++column) {
            const std::string text = Cut(cells[column].Text, widths[column]);
            const std::string pad(widths[column] - TextColumns(text), ' ');
            const bool last = column + 1 == cells.size();
            std::string shown = color && !header ? Colored(text, cells[column].Tone) : text;
            if (header && color) {
                shown = "\x1b[1m" + text + "\x1b[0m";
            }
            if (m_columns[column].Align == Align::Right) {
                line += pad + shown;
            } else {
                line += shown + (last ? "" : pad);
            }
            line += last ? "" : std::string(kColumnGap, ' ');
        }
        while (!line.empty() && line.back() == ' ') {
            line.pop_back();
        }
        out << line << '\n';
    };

    std::vector<Cell> header;
    for (const auto& column : m_columns) {
        header.push_back({column.Header, Tone::Plain});
    }
    printRow(header, true);
    for (const auto& row : m_rows) {
        if (!wraps || TextColumns(row[last].Text) <= widths[last]) {
            printRow(row, false);
            continue;
        }
        const auto lines = Wrap(row[last].Text, widths[last]);
        for (std::size_t line = 0; line < lines.size(); ++line) {
            std::vector<Cell> cells = line == 0 ? row : std::vector<Cell>(row.size());
            cells[last] = Cell{lines[line], row[last].Tone};
            printRow(cells, false);
        }
    }
}

}  // namespace Storcoll
