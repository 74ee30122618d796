// "wmi": overrides of the simulated WMI service.
//
//   "wmi": { "<namespace>": { "fail": HRESULT,
//                             "classes": { "<class>": { "fail": HRESULT,
//                                                       "failAtNext": {"call": n, "hr": HRESULT},
//                                                       "rows": [ edit, ... ] } } } }
//
// A row edit is one of {"edit": i, "set": {...}, "remove": [...]}, {"drop": i},
// {"add": {...}} or {"copy": i, "set": {...}, "remove": [...]}; i counts the rows
// the class derives from the hardware. A property value is bare (typed as the
// class declares the property) or {"cim": "uint16", "value": ...} for any type.
#include <cctype>
#include <limits>

#include "../wmi/Common.h"
#include "../wmi/DerivedClasses.h"
#include "Sections.h"
#include "sim/WmiRepository.h"

namespace sim::load {

namespace {

using platform::CimType;
using platform::WmiScalar;
using platform::WmiValue;

struct CimTypeName {
    const char* name;
    CimType type;
    const char* described;
    std::int64_t minimum;
    std::uint64_t maximum;
};

const CimTypeName kCimTypes[] = {
    {"sint8", CimType::Sint8, "a signed 8-bit integer", -128, 127},
    {"uint8", CimType::Uint8, "an unsigned 8-bit integer", 0, 255},
    {"sint16", CimType::Sint16, "a signed 16-bit integer", -32768, 32767},
    {"uint16", CimType::Uint16, "an unsigned 16-bit integer", 0, 65535},
    {"sint32", CimType::Sint32, "a signed 32-bit integer", std::numeric_limits<std::int32_t>::min(),
     std::numeric_limits<std::int32_t>::max()},
    {"uint32", CimType::Uint32, "an unsigned 32-bit integer", 0, std::numeric_limits<std::uint32_t>::max()},
    {"sint64", CimType::Sint64, "a signed 64-bit integer", std::numeric_limits<std::int64_t>::min(),
     std::numeric_limits<std::int64_t>::max()},
    {"uint64", CimType::Uint64, "an unsigned 64-bit integer", 0, std::numeric_limits<std::uint64_t>::max()},
    {"boolean", CimType::Boolean, "true or false", 0, 0},
    {"string", CimType::String, "a string", 0, 0},
    {"datetime", CimType::DateTime, "a string", 0, 0},
};

const CimTypeName& NameOf(CimType type)
{
    for (const auto& entry : kCimTypes)
        if (entry.type == type) return entry;
    return kCimTypes[9];
}

std::string Described(CimType type, bool isArray)
{
    const CimTypeName& entry = NameOf(type);
    return isArray                   ? std::string("an array of ") + entry.name + " values, or null"
           : type == CimType::String ? std::string("a string, or null")
                                     : std::string(entry.described) + " (" + entry.name + "), or null";
}

WmiScalar ReadScalar(const Node& node, CimType type, const std::string& expected)
{
    const CimTypeName& entry = NameOf(type);
    const Json& value = node.value;
    switch (type) {
    case CimType::Boolean:
        if (!value.is_boolean()) node.Expected(expected);
        return value.get<bool>();
    case CimType::String:
    case CimType::DateTime:
        if (!value.is_string()) node.Expected(expected);
        return wmi::Wide(value.get<std::string>());
    case CimType::Uint8:
    case CimType::Uint16:
    case CimType::Uint32:
    case CimType::Uint64:
        if (!value.is_number_unsigned() || value.get<std::uint64_t>() > entry.maximum) node.Expected(expected);
        return value.get<std::uint64_t>();
    default:
        if (!value.is_number_integer()) node.Expected(expected);
        if (value.is_number_unsigned() && value.get<std::uint64_t>() > entry.maximum) node.Expected(expected);
        if (value.get<std::int64_t>() < entry.minimum || value.get<std::int64_t>() > static_cast<std::int64_t>(entry.maximum))
            node.Expected(expected);
        return value.get<std::int64_t>();
    }
}

WmiValue ReadTyped(const Node& node, CimType type, bool isArray, const std::string& expected)
{
    if (node.value.is_null()) return WmiValue::Null(type, isArray);
    if (!isArray) return WmiValue::Scalar(type, ReadScalar(node, type, expected));
    if (!node.value.is_array()) node.Expected(expected);
    std::vector<WmiScalar> elements;
    ReadArray(node, [&](const Node& element) { elements.push_back(ReadScalar(element, type, expected)); });
    return WmiValue::Array(type, std::move(elements));
}

WmiValue ReadExplicit(const Node& node)
{
    WmiValue value;
    ReadObject(node, [&](ObjectReader& r) {
        CimType type = CimType::String;
        bool isArray = false;
        r.Required(
            "cim",
            [&](const Node& name) {
                std::string text;
                Read(name, text);
                isArray = text.size() > 2 && text.compare(text.size() - 2, 2, "[]") == 0;
                if (isArray) text.resize(text.size() - 2);
                for (const auto& entry : kCimTypes)
                    if (text == entry.name) return void(type = entry.type);
                name.Expected("a CIM type such as \"uint32\", \"string\" or \"uint8[]\"");
            },
            "a CIM type such as \"uint32\", \"string\" or \"uint8[]\"");
        r.Required(
            "value", [&](const Node& v) { value = ReadTyped(v, type, isArray, Described(type, isArray)); },
            "the value");
    });
    return value;
}

// A bare value of a property the class does not declare takes the type its
// JSON form suggests.
WmiValue ReadInferred(const Node& node)
{
    const Json& value = node.value;
    if (value.is_null()) return WmiValue::Null(CimType::String);
    if (value.is_string()) return ReadTyped(node, CimType::String, false, "a string");
    if (value.is_boolean()) return WmiValue::Scalar(CimType::Boolean, value.get<bool>());
    if (value.is_number_unsigned()) {
        const auto number = value.get<std::uint64_t>();
        return WmiValue::Scalar(number > std::numeric_limits<std::uint32_t>::max() ? CimType::Uint64 : CimType::Uint32,
                                number);
    }
    if (value.is_number_integer()) {
        const auto number = value.get<std::int64_t>();
        return WmiValue::Scalar(number < std::numeric_limits<std::int32_t>::min() ? CimType::Sint64 : CimType::Sint32,
                                number);
    }
    if (value.is_array() && !value.empty() && value.front().is_string())
        return ReadTyped(node, CimType::String, true, "an array of strings");
    node.Expected("a string, number, boolean, null or array of strings, or {\"cim\": type, \"value\": value}");
}

WmiValue ReadValue(const Node& node, const wmi::PropertyType* declared)
{
    if (node.value.is_object()) return ReadExplicit(node);
    if (declared == nullptr) return ReadInferred(node);
    return ReadTyped(node, declared->type, declared->isArray,
                     Described(declared->type, declared->isArray) + ", or {\"cim\": type, \"value\": value}");
}

platform::WmiInstance ReadProperties(const Node& node, const wmi::DerivedClass* derived)
{
    platform::WmiInstance properties;
    ReadObject(node, [&](ObjectReader& r) {
        r.EachMember([&](const std::string& name, const Node& value) {
            const std::wstring wideName = wmi::Wide(name);
            if (name.empty()) value.Expected("a property name");
            const wmi::PropertyType* declared = derived != nullptr ? wmi::FindPropertyType(*derived, wideName) : nullptr;
            properties.Set(declared != nullptr ? std::wstring(declared->name) : wideName, ReadValue(value, declared));
        });
    });
    return properties;
}

WmiRowEdit ReadRowEdit(const Node& node, const wmi::DerivedClass* derived)
{
    WmiRowEdit edit;
    edit.path = node.path;
    if (!node.value.is_object()) node.Expected("an object");
    int kinds = 0;
    for (const char* key : {"edit", "drop", "add", "copy"}) kinds += node.value.contains(key) ? 1 : 0;
    if (kinds != 1) node.Expected("exactly one of the keys \"edit\", \"drop\", \"add\" and \"copy\"");

    ReadObject(node, [&](ObjectReader& r) {
        const auto readRow = [&](const Node& index) {
            std::uint32_t row = 0;
            Read(index, row);
            edit.row = row;
        };
        const auto readChanges = [&] {
            r.Optional("set", [&](const Node& set) { edit.set = ReadProperties(set, derived); });
            r.Optional("remove", [&](const Node& names) {
                ReadArray(names, [&](const Node& name) {
                    std::string text;
                    Read(name, text);
                    edit.remove.push_back(wmi::Wide(text));
                });
            });
        };
        if (node.value.contains("edit")) {
            edit.kind = WmiRowEdit::Kind::Edit;
            r.Optional("edit", readRow);
            readChanges();
        } else if (node.value.contains("copy")) {
            edit.kind = WmiRowEdit::Kind::Copy;
            r.Optional("copy", readRow);
            readChanges();
        } else if (node.value.contains("drop")) {
            edit.kind = WmiRowEdit::Kind::Drop;
            r.Optional("drop", readRow);
        } else {
            edit.kind = WmiRowEdit::Kind::Add;
            r.Optional("add", [&](const Node& row) { edit.set = ReadProperties(row, derived); });
        }
        // The row number is checked against the hardware when the service is built.
        if (edit.kind != WmiRowEdit::Kind::Add) edit.path = r.Self().MemberPath(edit.kind == WmiRowEdit::Kind::Drop ? "drop" : edit.kind == WmiRowEdit::Kind::Edit ? "edit"
                                                                                                                                                                   : "copy");
    });
    return edit;
}

bool IsClassName(const std::string& name)
{
    if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0]))) return false;
    for (char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
    return true;
}

WmiClassOverride ReadClass(const std::string& name, const Node& node, const std::wstring& nameSpace)
{
    WmiClassOverride change;
    change.name = wmi::Wide(name);
    change.path = node.path;
    const wmi::DerivedClass* derived = wmi::FindDerivedClass(nameSpace, change.name);
    if (derived != nullptr) change.name = derived->className;
    ReadObject(node, [&](ObjectReader& r) {
        r.Optional("fail", [&](const Node& hr) { change.queryFailure = ReadFailure(hr); });
        r.Optional("failAtNext", [&](const Node& step) {
            ReadObject(step, [&](ObjectReader& s) {
                s.Required(
                    "call", [&](const Node& call) {
                        std::uint32_t number = 0;
                        Read(call, number);
                        if (number == 0) call.Expected("the number of an enumerator step, 1 for the first");
                        change.failingNext = number;
                    },
                    "the number of an enumerator step, 1 for the first");
                s.Required(
                    "hr", [&](const Node& hr) { change.failingNextResult = ReadFailure(hr); },
                    "a failure HRESULT such as \"0x80041006\"");
            });
        });
        r.Optional("rows", [&](const Node& rows) {
            ReadArray(rows, [&](const Node& row) { change.rows.push_back(ReadRowEdit(row, derived)); });
        });
    });
    return change;
}

}  // namespace

std::vector<WmiNamespaceOverride> ReadWmi(const Node& node)
{
    std::vector<WmiNamespaceOverride> namespaces;
    ReadObject(node, [&](ObjectReader& r) {
        r.EachMember([&](const std::string& key, const Node& item) {
            const std::wstring wide = wmi::Wide(key);
            const std::wstring* known = nullptr;
            for (const auto& name : WmiRepository::NamespaceNames())
                if (platform::WmiNamesEqual(name, wide)) known = &name;
            if (known == nullptr)
                item.Expected("a namespace of the WMI service: root\\WMI, root\\cimv2, root\\StandardCimv2, "
                              "root\\cimv2\\Security\\MicrosoftVolumeEncryption, root\\microsoft\\windows\\storage "
                              "or root\\cimv2\\power");
            for (const auto& earlier : namespaces)
                if (earlier.name == *known) item.Refuse("namespace given twice");
            WmiNamespaceOverride change;
            change.name = *known;
            ReadObject(item, [&](ObjectReader& n) {
                n.Optional("fail", [&](const Node& hr) { change.connectFailure = ReadFailure(hr); });
                n.Optional("classes", [&](const Node& classes) {
                    ReadObject(classes, [&](ObjectReader& c) {
                        c.EachMember([&](const std::string& name, const Node& cls) {
                            if (!IsClassName(name)) cls.Expected("a class name (letters, digits and '_')");
                            for (const auto& earlier : change.classes)
                                if (platform::WmiNamesEqual(earlier.name, wmi::Wide(name))) cls.Refuse("class given twice");
                            change.classes.push_back(ReadClass(name, cls, change.name));
                        });
                    });
                });
            });
            namespaces.push_back(std::move(change));
        });
    });
    return namespaces;
}

}  // namespace sim::load
