#include "report/ResultReader.h"

#include "platform/NativePath.h"
#include "support/Utf8.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace ut::report {

namespace {

using json = nlohmann::json;

std::string Text(const json& object, const char* name) {
    const auto it = object.find(name);
    return it != object.end() && it->is_string() ? it->get<std::string>() : std::string();
}

// One unit of the "units" list; false when it has no key. Members of the wrong type throw
// json::type_error.
bool ReadUnit(const json& u, ResultUnit& r) {
    if (!u.is_object() || Text(u, "key").empty())
        return false;
    r.Key = Text(u, "key");
    r.FileName = Text(u, "file");
    if (u.contains("size") && u["size"].is_number_integer())
        r.Size = u["size"].get<std::int64_t>();
    if (!u.contains("uses"))
        return true;
    for (const json& use : u.at("uses")) {
        if (!use.is_object() || Text(use, "status") != "unit")
            continue;
        r.Uses.push_back({Text(use, "key"), use.value("interface", false), use.value("line", 0),
                          Text(use, "file")});
    }
    return true;
}

} // namespace

UnitGraph ReadResultGraph(const std::string& fileName, std::vector<std::string>* notFound) {
    std::ifstream in(platform::NativePath(fileName), std::ios::binary);
    if (!in)
        throw EResultError("cannot read \"" + fileName + "\": " + std::strerror(errno));
    const std::string notResult = "\"" + fileName + "\" is not a Uni-Trace result: ";
    // A result written before its texts were made well-formed may hold stray bytes: they
    // are read as the writer reads them now, as Windows-1252, so their names still compare.
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    json doc;
    try {
        doc = json::parse(ToUtf8(text));
    } catch (const json::exception& e) {
        throw EResultError("\"" + fileName + "\" is not JSON: " + e.what());
    }
    if (!doc.is_object() || !doc.contains("units") || !doc["units"].is_array())
        throw EResultError(notResult + "it has no \"units\" list");
    std::vector<ResultUnit> units;
    try {
        for (const json& u : doc["units"]) {
            if (!ReadUnit(u, units.emplace_back()))
                throw EResultError(notResult + "a unit has no \"key\"");
        }
        if (notFound && doc.contains("notFound"))
            for (const json& name : doc.at("notFound"))
                notFound->push_back(name.get<std::string>());
    } catch (const json::exception& e) {
        throw EResultError(notResult + e.what());
    }
    return UnitGraph(std::move(units), "", false);
}

} // namespace ut::report
