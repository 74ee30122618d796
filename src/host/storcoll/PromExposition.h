// Prometheus' text exposition format: metric families with their HELP and
// TYPE lines, each family's samples together, label values and help texts
// escaped. Families come out in the order they were declared, samples in the
// order they were added, whatever order the caller adds them in.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace Storcoll {

class PromExposition {
public:
    enum class Type {
        Gauge,
        Counter,
    };
    using Labels = std::vector<std::pair<std::string, std::string>>;

    // Declares a family. Declaring one again with the same type keeps the
    // first help text; with another type it raises std::logic_error.
    void Declare(const std::string& name, Type type, std::string_view help);

    // Adds a sample to a declared family; an undeclared family raises std::logic_error.
    void Add(const std::string& name, const Labels& labels, double value);

    bool Has(const std::string& name) const;

    // The exposition; a family without samples is left out.
    std::string Text() const;

    // "1", "0.25", "1.5e+20", "NaN", "+Inf", "-Inf"
    static std::string FormatValue(double value);

private:
    struct Family {
        std::string Name;
        Type Kind;
        std::string Help;
        std::string Samples;
    };

    std::vector<Family> m_families;
    std::map<std::string, std::size_t, std::less<>> m_index;
};

}  // namespace Storcoll
