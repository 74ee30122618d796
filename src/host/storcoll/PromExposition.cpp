#include "PromExposition.h"

#include <charconv>
#include <cmath>
#include <stdexcept>

namespace Storcoll {

namespace {

// Label values escape backslash, double quote and line feed; help texts
// escape backslash and line feed only.
void AppendEscaped(std::string& out, std::string_view text, bool quote)
{
    for (const char c : text) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '"' && quote) {
            out += "\\\"";
        } else {
            out += c;
        }
    }
}

}  // namespace

void PromExposition::Declare(const std::string& name, Type type, std::string_view help)
{
    const auto found = m_index.find(name);
    if (found != m_index.end()) {
        if (m_families[found->second].Kind != type) {
            throw std::logic_error("metric " + name + " declared with two types");
        }
        return;
    }
    m_index.emplace(name, m_families.size());
    m_families.push_back(Family{name, type, std::string(help), {}});
}

void PromExposition::Add(const std::string& name, const Labels& labels, double value)
{
    const auto found = m_index.find(name);
    if (found == m_index.end()) {
        throw std::logic_error("metric " + name + " has no declaration");
    }
    std::string& out = m_families[found->second].Samples;
    out += name;
    if (!labels.empty()) {
        out += '{';
        bool first = true;
        for (const auto& [label, text] : labels) {
            out += first ? "" : ",";
            first = false;
            out += label;
            out += "=\"";
            AppendEscaped(out, text, true);
            out += '"';
        }
        out += '}';
    }
    out += ' ';
    out += FormatValue(value);
    out += '\n';
}

bool PromExposition::Has(const std::string& name) const
{
    return m_index.contains(name);
}

std::string PromExposition::Text() const
{
    std::string out;
    for (const auto& family : m_families) {
        if (family.Samples.empty()) {
            continue;
        }
        out += "# HELP " + family.Name + ' ';
        AppendEscaped(out, family.Help, false);
        out += "\n# TYPE " + family.Name + (family.Kind == Type::Counter ? " counter\n" : " gauge\n");
        out += family.Samples;
    }
    return out;
}

std::string PromExposition::FormatValue(double value)
{
    if (std::isnan(value)) {
        return "NaN";
    }
    if (std::isinf(value)) {
        return value > 0 ? "+Inf" : "-Inf";
    }
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

}  // namespace Storcoll
