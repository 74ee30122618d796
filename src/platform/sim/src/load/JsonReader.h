// Reading JSON with the path of every value at hand, so that each refusal can
// say where it is and what was expected there. Every object is read through
// ReadObject, which refuses the keys its reader did not ask for: adding a key
// to the description is one line in the section that owns it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/Win32.h"
#include "sim/DescriptionLoader.h"

namespace sim::load {

using Json = nlohmann::json;

struct Node {
    const Json& value;
    std::string path;

    std::string MemberPath(const std::string& key) const;
    Node Member(const std::string& key) const;
    Node Element(std::size_t index) const;
    [[noreturn]] void Refuse(const std::string& problem) const;
    [[noreturn]] void Expected(const std::string& what) const { Refuse("expected " + what); }
};

// One value of a type, or a refusal naming the type.
void Read(const Node& node, std::string& out);
void Read(const Node& node, bool& out);
void Read(const Node& node, std::uint32_t& out);
void Read(const Node& node, std::uint64_t& out);
// A failure HRESULT: "0x80041003" or a number.
HRESULT ReadFailure(const Node& node);

class ObjectReader {
public:
    explicit ObjectReader(const Node& node) : m_node(node) {}

    template <typename T>
    requires requires(const Node& node, T& out) { Read(node, out); }
    void Required(const std::string& key, T& out)
    {
        Required(
            key, [&](const Node& value) { Read(value, out); }, Describe(out));
    }
    template <typename T>
    requires requires(const Node& node, T& out) { Read(node, out); }
    void Optional(const std::string& key, T& out)
    {
        Optional(key, [&](const Node& value) { Read(value, out); });
    }
    void Required(const std::string& key, const std::function<void(const Node&)>& read, const std::string& what);
    void Optional(const std::string& key, const std::function<void(const Node&)>& read);
    // Each member, for objects whose keys are names (namespaces, classes, properties).
    void EachMember(const std::function<void(const std::string& key, const Node&)>& read);

    const Node& Self() const { return m_node; }
    // Unknown keys first (a misspelt key is also a missing one), then the
    // first missing required key.
    void Finish() const;

private:
    static std::string Describe(const std::string&) { return "a string"; }
    static std::string Describe(const bool&) { return "true or false"; }
    static std::string Describe(const std::uint32_t&) { return "an unsigned 32-bit integer"; }
    static std::string Describe(const std::uint64_t&) { return "an unsigned 64-bit integer"; }

    Node m_node;
    std::set<std::string> m_taken;
    std::optional<DescriptionError> m_missing;
    bool m_takesAll = false;
};

// While one lives on a thread, the readers on that thread note each refusal
// in `problems` and go on reading (the value refused is left at its default),
// so that one pass finds every problem of a description.
class ProblemListing {
public:
    explicit ProblemListing(std::vector<DescriptionError>& problems);
    ~ProblemListing();
    ProblemListing(const ProblemListing&) = delete;
    ProblemListing& operator=(const ProblemListing&) = delete;

private:
    std::vector<DescriptionError>* m_previous;
};

// Reads an object: refuses anything else, runs `read`, then refuses the keys
// that `read` did not take.
void ReadObject(const Node& node, const std::function<void(ObjectReader&)>& read);
// Reads an array element by element.
void ReadArray(const Node& node, const std::function<void(const Node&)>& read);

}  // namespace sim::load
