#include "JsonReader.h"

#include <cctype>
#include <limits>

namespace sim::load {

namespace {

bool IsPlainKey(const std::string& key)
{
    if (key.empty() || std::isdigit(static_cast<unsigned char>(key[0]))) return false;
    for (char c : key)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
    return true;
}

// Set while every problem is being listed rather than the first refused.
thread_local std::vector<DescriptionError>* t_problems = nullptr;

// Runs `read`; while problems are listed, a refusal is noted and the reading
// goes on with the next value.
template <typename F>
void Guarded(F&& read)
{
    if (t_problems == nullptr) {
        read();
        return;
    }
    try {
        read();
    } catch (const DescriptionError& problem) {
        t_problems->push_back(problem);
    }
}

}  // namespace

ProblemListing::ProblemListing(std::vector<DescriptionError>& problems) : m_previous(t_problems)
{
    t_problems = &problems;
}

ProblemListing::~ProblemListing() { t_problems = m_previous; }

std::string Node::MemberPath(const std::string& key) const
{
    return path + (IsPlainKey(key) ? "." + key : "[\"" + key + "\"]");
}

Node Node::Member(const std::string& key) const { return Node{value.at(key), MemberPath(key)}; }

Node Node::Element(std::size_t index) const { return Node{value.at(index), path + "[" + std::to_string(index) + "]"}; }

void Node::Refuse(const std::string& problem) const { throw DescriptionError(path, problem); }

void Read(const Node& node, std::string& out)
{
    if (!node.value.is_string()) node.Expected("a string");
    out = node.value.get<std::string>();
}

void Read(const Node& node, bool& out)
{
    if (!node.value.is_boolean()) node.Expected("true or false");
    out = node.value.get<bool>();
}

void Read(const Node& node, std::uint32_t& out)
{
    if (!node.value.is_number_integer() || node.value.get<std::int64_t>() < 0 ||
        (node.value.is_number_unsigned() && node.value.get<std::uint64_t>() > std::numeric_limits<std::uint32_t>::max()))
        node.Expected("an unsigned 32-bit integer");
    out = static_cast<std::uint32_t>(node.value.get<std::uint64_t>());
}

void Read(const Node& node, std::uint64_t& out)
{
    if (!node.value.is_number_unsigned() && !(node.value.is_number_integer() && node.value.get<std::int64_t>() >= 0))
        node.Expected("an unsigned 64-bit integer");
    out = node.value.get<std::uint64_t>();
}

HRESULT ReadFailure(const Node& node)
{
    std::uint64_t code = 0;
    bool read = false;
    if (node.value.is_number_unsigned()) {
        code = node.value.get<std::uint64_t>();
        read = true;
    } else if (node.value.is_string()) {
        const auto text = node.value.get<std::string>();
        if (text.size() > 2 && text.size() <= 10 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
            read = true;
            for (std::size_t i = 2; i < text.size(); ++i) {
                const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
                if (!std::isxdigit(static_cast<unsigned char>(c))) read = false;
                code = code * 16 + static_cast<std::uint64_t>(std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : c - 'a' + 10);
            }
        }
    }
    if (!read || code < 0x80000000u || code > 0xFFFFFFFFu) node.Expected("a failure HRESULT such as \"0x80041003\"");
    return static_cast<HRESULT>(static_cast<std::uint32_t>(code));
}

void ObjectReader::Required(const std::string& key, const std::function<void(const Node&)>& read,
                            const std::string& what)
{
    if (!m_node.value.contains(key) && t_problems != nullptr)
        t_problems->emplace_back(m_node.MemberPath(key), "missing, expected " + what);
    else if (!m_node.value.contains(key) && !m_missing)
        m_missing.emplace(m_node.MemberPath(key), "missing, expected " + what);
    Optional(key, read);
}

void ObjectReader::Optional(const std::string& key, const std::function<void(const Node&)>& read)
{
    m_taken.insert(key);
    if (m_node.value.contains(key)) Guarded([&] { read(m_node.Member(key)); });
}

void ObjectReader::EachMember(const std::function<void(const std::string& key, const Node&)>& read)
{
    m_takesAll = true;
    for (const auto& item : m_node.value.items()) Guarded([&] { read(item.key(), m_node.Member(item.key())); });
}

void ObjectReader::Finish() const
{
    if (!m_takesAll) {
        for (const auto& item : m_node.value.items())
            if (m_taken.count(item.key()) == 0) Guarded([&] { m_node.Member(item.key()).Refuse("unknown key"); });
    }
    if (m_missing) throw *m_missing;
}

void ReadObject(const Node& node, const std::function<void(ObjectReader&)>& read)
{
    if (!node.value.is_object()) node.Expected("an object");
    ObjectReader reader(node);
    read(reader);
    reader.Finish();
}

void ReadArray(const Node& node, const std::function<void(const Node&)>& read)
{
    if (!node.value.is_array()) node.Expected("an array");
    for (std::size_t i = 0; i < node.value.size(); ++i) Guarded([&] { read(node.Element(i)); });
}

}  // namespace sim::load
