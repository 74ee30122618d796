// A plain-text table for the terminal: a header row, cells aligned left or
// right, and a width it keeps within by cutting the widest text columns short
// ("…"). Cells may carry a tone, shown in colour when colour is on.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace Storcoll {

enum class Tone {
    Plain,
    Good,
    Caution,
    Bad,
    Faint,
};

struct Cell {
    std::string Text;
    Storcoll::Tone Tone = Storcoll::Tone::Plain;
};

// Colours `text` by its tone with ANSI codes.
std::string Colored(const std::string& text, Tone tone);

// Columns a UTF-8 text takes on a terminal (one per code point).
std::size_t TextColumns(const std::string& text);

class TextTable {
public:
    enum class Align {
        Left,
        Right,
    };
    struct Column {
        std::string Header;
        TextTable::Align Align = TextTable::Align::Left;
    };

    explicit TextTable(std::vector<Column> columns);

    void AddRow(std::vector<Cell> cells);

    // Prints the rows under their header, indented by `indent` blanks, within
    // `width` columns where the texts can be cut to fit.
    void Print(std::ostream& out, int width, bool color, int indent = 2) const;

private:
    std::vector<Column> m_columns;
    std::vector<std::vector<Cell>> m_rows;
};

}  // namespace Storcoll
