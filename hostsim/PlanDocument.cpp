#include "hostsim/PlanDocument.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <limits>
#include <sstream>
#include <string_view>

#include "common/platform/Files.h"
#include "common/text/Encoding.h"
#include "hostsim/HostSession.h"
#include "hostsim/JsonText.h"

namespace HostSim {

ObjectShape shapeOfType(std::uint32_t type)
{
    switch (type) {
    case 19: return ObjectShape::Room;
    case 5: return ObjectShape::WallBox;
    case 20: return ObjectShape::HangingWallBox;
    case 21:
    case 22:
    case 23:
    case 48: return ObjectShape::WallAttached;
    case 24: return ObjectShape::Roof;
    default: break;
    }
    if (type >= 13 && type <= 18) {
        return ObjectShape::Stair;
    }
    return ObjectShape::Plain;
}

namespace {

// Where a field stands in the file ("document.objects[3].outline[0][1]"),
// spelled out only for a complaint: a plan of many objects reads millions
// of fields and names none of them when it is sound. Refers to the text and
// the enclosing path it is made from, which must outlive it.
class FieldPath {
public:
    FieldPath(const std::string& text) : text_(&text) {}  // NOLINT: a whole path converts implicitly
    FieldPath(const std::string& parent, const char* key) : text_(&parent), key_(key) {}
    FieldPath(const FieldPath& parent, std::size_t index) : parent_(&parent), index_(index) {}

    std::string str() const
    {
        if (parent_ != nullptr) {
            return parent_->str() + "[" + std::to_string(index_) + "]";
        }
        if (key_ == nullptr) {
            return *text_;
        }
        return text_->empty() ? std::string(key_) : *text_ + "." + key_;
    }

private:
    const std::string* text_ = nullptr;
    const char* key_ = nullptr;
    const FieldPath* parent_ = nullptr;
    std::size_t index_ = 0;
};

// Reads typed values out of the parsed file, naming the field path in every
// complaint. Every member is read here; nothing is kept from a file that
// fails.
class FieldReader {
public:
    explicit FieldReader(const std::string& fileName) : fileName_(fileName) {}

    [[noreturn]] void fail(const std::string& path, const std::string& what) const
    {
        throw PlanError(fileName_ + ": " + path + ": " + what);
    }
    [[noreturn]] void fail(const FieldPath& path, const std::string& what) const { fail(path.str(), what); }

    const Json& requireObject(const Json& value, const std::string& path) const
    {
        if (!value.is_object()) {
            fail(path, "expected an object");
        }
        return value;
    }

    // The member `key`, or null when absent; absent and required fails.
    const Json* member(const Json& object, const std::string& path, const char* key, bool required) const
    {
        // Looked through by length first: a plan of many objects looks up
        // tens of names in each of them.
        const std::string_view name(key);
        for (const auto& m : static_cast<const Json::object_t::Container&>(object.get_ref<const Json::object_t&>())) {
            if (m.first == name) {
                return &m.second;
            }
        }
        if (required) {
            fail(join(path, key), "missing");
        }
        return nullptr;
    }

    double real(const Json& value, const FieldPath& path) const
    {
        if (!value.is_number()) {
            fail(path, "expected a number");
        }
        const double v = value.get<double>();
        if (!std::isfinite(v)) {
            fail(path, "expected a finite number");
        }
        return v;
    }

    std::int64_t integer(const Json& value, const FieldPath& path, std::int64_t low, std::int64_t high) const
    {
        const auto fail = [&](const FieldPath& at) {
            this->fail(at, "expected an integer from " + std::to_string(low) + " to " + std::to_string(high));
        };
        std::int64_t v = 0;
        if (value.is_number_unsigned()) {
            const auto u = value.get<std::uint64_t>();
            if (u > static_cast<std::uint64_t>(high)) {
                fail(path);
            }
            v = static_cast<std::int64_t>(u);
        } else if (value.is_number_integer()) {
            v = value.get<std::int64_t>();
        } else if (value.is_number_float()) {
            // 2.0 is accepted as 2; 2.5 or 1e30 are not integers of the range.
            const double d = value.get<double>();
            if (!std::isfinite(d) || std::trunc(d) != d || d < static_cast<double>(low) ||
                d > static_cast<double>(high)) {
                fail(path);
            }
            v = static_cast<std::int64_t>(d);
        } else {
            fail(path);
        }
        if (v < low || v > high) {
            fail(path);
        }
        return v;
    }

    // A flag: true/false or an integer 0 to 65535.
    std::uint16_t flag(const Json& value, const FieldPath& path) const
    {
        if (value.is_boolean()) {
            return value.get<bool>() ? 1 : 0;
        }
        if (!value.is_number()) {
            fail(path, "expected true, false or an integer from 0 to 65535");
        }
        return static_cast<std::uint16_t>(integer(value, path, 0, 65535));
    }

    std::wstring text(const Json& value, const FieldPath& path) const
    {
        if (!value.is_string()) {
            fail(path, "expected a string");
        }
        return Common::fromUtf8(value.get_ref<const std::string&>());
    }

    bool boolean(const Json& value, const FieldPath& path) const
    {
        if (!value.is_boolean()) {
            fail(path, "expected true or false");
        }
        return value.get<bool>();
    }

    PlanPoint point(const Json& value, const FieldPath& path) const
    {
        if (!value.is_array() || value.size() != 2 || !value[0].is_number() || !value[1].is_number()) {
            fail(path, "expected [x,y]");
        }
        return PlanPoint{real(value[0], FieldPath(path, 0)), real(value[1], FieldPath(path, 1))};
    }

    std::vector<PlanPoint> outline(const Json& value, const FieldPath& path) const
    {
        if (!value.is_array()) {
            fail(path, "expected array of [x,y] pairs");
        }
        std::vector<PlanPoint> points;
        points.reserve(value.size());
        for (std::size_t i = 0; i < value.size(); ++i) {
            const Json& p = value[i];
            if (!p.is_array() || p.size() != 2 || !p[0].is_number() || !p[1].is_number()) {
                fail(path, "expected array of [x,y] pairs (element " + std::to_string(i) + " is not)");
            }
            points.push_back(point(p, FieldPath(path, i)));
        }
        return points;
    }

    // A fixed-length array of numbers.
    const Json& array(const Json& value, const FieldPath& path, std::size_t length) const
    {
        if (!value.is_array() || value.size() != length) {
            fail(path, "expected an array of " + std::to_string(length) + " numbers");
        }
        return value;
    }

    static std::string join(const std::string& path, const std::string& key)
    {
        return path.empty() ? key : path + "." + key;
    }
    static std::string index(const std::string& path, std::size_t i) { return path + "[" + std::to_string(i) + "]"; }

private:
    std::string fileName_;
};

// The members of `object` whose keys are not in `known`.
Json unknownMembers(const Json& object, std::initializer_list<std::string_view> known)
{
    Json rest = Json::object();
    for (auto it = object.begin(); it != object.end(); ++it) {
        const bool isKnown =
            std::any_of(known.begin(), known.end(), [&](std::string_view k) { return it.key() == k; });
        if (!isKnown) {
            rest[it.key()] = it.value();
        }
    }
    return rest;
}

// Optional member helpers: leave the target unchanged when the key is absent.
struct ObjectReader {
    const FieldReader& r;
    const Json& object;
    std::string path;

    const Json* get(const char* key, bool required = false) const { return r.member(object, path, key, required); }
    FieldPath at(const char* key) const { return FieldPath(path, key); }

    void real(const char* key, double& target, bool required = false) const
    {
        if (const Json* v = get(key, required)) {
            target = r.real(*v, at(key));
        }
    }
    template <typename T>
    void integer(const char* key, T& target, bool required = false) const
    {
        if (const Json* v = get(key, required)) {
            target = static_cast<T>(
                r.integer(*v, at(key), std::numeric_limits<T>::min(), static_cast<std::int64_t>(std::numeric_limits<T>::max())));
        }
    }
    void flag(const char* key, std::uint16_t& target) const
    {
        if (const Json* v = get(key)) {
            target = r.flag(*v, at(key));
        }
    }
    void text(const char* key, std::wstring& target, bool required = false) const
    {
        if (const Json* v = get(key, required)) {
            target = r.text(*v, at(key));
        }
    }
    void point(const char* key, PlanPoint& target, bool required = false) const
    {
        if (const Json* v = get(key, required)) {
            target = r.point(*v, at(key));
        }
    }
    template <std::size_t N>
    void reals(const char* key, std::array<double, N>& target) const
    {
        if (const Json* v = get(key)) {
            const FieldPath keyPath = at(key);
            const Json& a = r.array(*v, keyPath, N);
            for (std::size_t i = 0; i < N; ++i) {
                target[i] = r.real(a[i], FieldPath(keyPath, i));
            }
        }
    }
    template <std::size_t N>
    void shorts(const char* key, std::array<std::uint16_t, N>& target) const
    {
        if (const Json* v = get(key)) {
            const FieldPath keyPath = at(key);
            const Json& a = r.array(*v, keyPath, N);
            for (std::size_t i = 0; i < N; ++i) {
                target[i] = static_cast<std::uint16_t>(r.integer(a[i], FieldPath(keyPath, i), 0, 65535));
            }
        }
    }
};

constexpr std::int64_t kI4Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kI4Max = std::numeric_limits<std::int32_t>::max();

PlanFitting readFitting(const FieldReader& r, const Json& value, const std::string& path)
{
    r.requireObject(value, path);
    const ObjectReader o{r, value, path};
    PlanFitting f;
    o.text("part", f.part, true);
    o.point("centre", f.centre, true);
    o.real("sill", f.sill);
    o.real("angle", f.angle);
    o.real("width", f.width);
    o.real("height", f.height);
    return f;
}

RoomAttributes readAttributes(const FieldReader& r, const Json& value, const std::string& path)
{
    r.requireObject(value, path);
    const ObjectReader o{r, value, path};
    RoomAttributes a;
    auto int4 = [&](const char* key, std::int64_t& target) {
        if (const Json* v = o.get(key)) {
            target = r.integer(*v, o.at(key), kI4Min, kI4Max);
        }
    };
    auto intRange = [&](const char* key, std::int64_t& target, std::int64_t high) {
        if (const Json* v = o.get(key)) {
            target = r.integer(*v, o.at(key), 0, high);
        }
    };
    int4("value4", a.value4);
    int4("flag", a.flag);
    o.real("value7", a.value7);
    o.real("value9", a.value9to13[0]);
    o.real("value10", a.value9to13[1]);
    o.real("value11", a.value9to13[2]);
    o.real("value12", a.value9to13[3]);
    o.real("value13", a.value9to13[4]);
    int4("switch14", a.switch14);
    int4("switch15", a.switch15);
    int4("value16", a.value16);
    int4("value17", a.value17);
    int4("switch18", a.switch18);
    intRange("roomClass", a.roomClass, 255);
    intRange("colourB", a.colourB, 0xFFFFFFFFLL);
    intRange("colourA", a.colourA, 0xFFFFFFFFLL);
    int4("value22", a.value22);
    intRange("tatamiLayout", a.tatamiLayout, 65535);
    o.text("font", a.font);
    o.real("value25", a.value25);
    intRange("value26", a.value26, 255);
    o.real("value27", a.value27);
    intRange("value28", a.value28, 0xFFFFFFFFLL);
    return a;
}

PlanObject readObject(const FieldReader& r, const Json& value, const std::string& path, bool generatedRoof)
{
    r.requireObject(value, path);
    const ObjectReader o{r, value, path};
    PlanObject obj;
    if (generatedRoof) {
        obj.type = 24;
        if (const Json* t = o.get("type")) {
            if (r.integer(*t, o.at("type"), 0, 0xFFFFFFFFLL) != 24) {
                r.fail(o.at("type"), "a generated roof is of type 24");
            }
        }
    } else {
        o.integer("type", obj.type, true);
    }
    o.integer("storey", obj.storey, true);
    if (const Json* f = o.get("fitting")) {
        obj.fitting = readFitting(r, *f, o.at("fitting").str());
    }

    switch (shapeOfType(obj.type)) {
    case ObjectShape::Room:
        if (const Json* v = o.get("outline", true)) {
            obj.outline = r.outline(*v, o.at("outline"));
        }
        o.integer("kind", obj.kind);
        o.text("name", obj.name);
        o.real("floor", obj.floor);
        o.real("height", obj.height);
        if (const Json* a = o.get("attributes")) {
            obj.attributes = readAttributes(r, *a, o.at("attributes").str());
        }
        obj.unknownFields =
            unknownMembers(value, {"type", "storey", "fitting", "outline", "kind", "name", "floor", "height", "attributes"});
        break;
    case ObjectShape::WallBox:
        o.point("centre", obj.centre, true);
        o.point("size", obj.size, true);
        o.flag("fullHeight", obj.flag);
        o.real("bottom", obj.bottom);
        o.real("top", obj.top);
        obj.unknownFields = unknownMembers(value, {"type", "storey", "fitting", "centre", "size", "fullHeight", "bottom", "top"});
        break;
    case ObjectShape::HangingWallBox:
        o.point("centre", obj.centre, true);
        o.point("size", obj.size, true);
        o.flag("hanging", obj.flag);
        o.real("bottom", obj.bottom);
        o.real("height", obj.height);
        obj.unknownFields =
            unknownMembers(value, {"type", "storey", "fitting", "centre", "size", "hanging", "bottom", "height"});
        break;
    case ObjectShape::WallAttached:
        o.point("start", obj.start, true);
        o.point("end", obj.end, true);
        o.real("upper", obj.upper);
        o.real("lower", obj.lower);
        obj.unknownFields = unknownMembers(value, {"type", "storey", "fitting", "start", "end", "upper", "lower"});
        break;
    case ObjectShape::Stair:
        o.point("start", obj.start, true);
        o.real("width", obj.width, true);
        o.integer("form", obj.form);
        o.reals("treads", obj.treads);
        o.shorts("counts", obj.counts);
        o.shorts("patterns", obj.patterns);
        o.integer("side", obj.side);
        o.real("direction", obj.direction);
        o.integer("formFlag", obj.formFlag);
        o.integer("skip", obj.skip);
        if (const Json* extra = o.get("extra")) {
            const std::string extraPath = o.at("extra").str();
            r.requireObject(*extra, extraPath);
            for (auto it = extra->begin(); it != extra->end(); ++it) {
                const auto pos = std::find_if(kStairExtraPositions.begin(), kStairExtraPositions.end(),
                                              [&](int p) { return std::to_string(p) == it.key(); });
                if (pos == kStairExtraPositions.end()) {
                    r.fail(FieldReader::join(extraPath, it.key()),
                           "not a stair value position (16 to 29, 31 or 32)");
                }
                obj.stairExtra[static_cast<std::size_t>(pos - kStairExtraPositions.begin())] =
                    r.real(it.value(), FieldReader::join(extraPath, it.key()));
            }
        }
        obj.unknownFields = unknownMembers(value, {"type", "storey", "fitting", "start", "width", "form", "treads", "counts",
                                                   "patterns", "side", "direction", "formFlag", "skip", "extra"});
        break;
    case ObjectShape::Roof:
        if (const Json* v = o.get("outline", true)) {
            obj.outline = r.outline(*v, o.at("outline"));
        }
        o.real("pitch", obj.pitch);
        o.real("height", obj.height);
        o.real("baseOffset", obj.baseOffset);
        o.real("thickness", obj.thickness);
        o.integer("eavesShape", obj.eavesShape);
        obj.unknownFields = unknownMembers(
            value, {"type", "storey", "fitting", "outline", "pitch", "height", "baseOffset", "thickness", "eavesShape"});
        break;
    case ObjectShape::Plain:
        obj.unknownFields = unknownMembers(value, {"type", "storey", "fitting"});
        break;
    }
    return obj;
}

std::vector<PlanObject> readObjects(const FieldReader& r, const Json& value, const std::string& path, bool generatedRoofs)
{
    if (!value.is_array()) {
        r.fail(path, "expected an array of objects");
    }
    std::vector<PlanObject> objects;
    objects.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        objects.push_back(readObject(r, value[i], FieldReader::index(path, i), generatedRoofs));
    }
    return objects;
}

// `listed`, when given, holds the objects already read from the list the
// document's "objects" was (see PlanDocument::parse).
PlanDocumentState readDocument(const FieldReader& r, const Json& value, const std::string& path,
                               std::vector<PlanObject>* listed)
{
    r.requireObject(value, path);
    const ObjectReader o{r, value, path};
    PlanDocumentState d;
    o.integer("windowHandle", d.windowHandle);
    if (const Json* v = o.get("minimized")) {
        d.minimized = r.boolean(*v, o.at("minimized"));
    }
    o.integer("currentStorey", d.currentStorey);
    o.shorts("storeySettings", d.storeySettings);
    if (const Json* flags = o.get("storeyFlags")) {
        const std::string flagsPath = o.at("storeyFlags").str();
        r.requireObject(*flags, flagsPath);
        d.storeyFlags.clear();
        std::vector<bool> given(65536, false);
        for (auto it = flags->begin(); it != flags->end(); ++it) {
            const std::string keyPath = FieldReader::join(flagsPath, it.key());
            std::int64_t storey = 0;
            std::size_t used = 0;
            try {
                storey = std::stoll(it.key(), &used);
            } catch (const std::exception&) {
                used = 0;
            }
            if (used == 0 || used != it.key().size() || storey < -32768 || storey > 32767) {
                r.fail(keyPath, "expected a storey number from -32768 to 32767 as the key");
            }
            const auto flagValue = static_cast<std::uint8_t>(r.integer(it.value(), keyPath, 0, 255));
            const auto s = static_cast<std::int16_t>(storey);
            if (given[static_cast<std::size_t>(storey + 32768)]) {
                r.fail(keyPath, "storey given twice");
            }
            given[static_cast<std::size_t>(storey + 32768)] = true;
            d.storeyFlags.push_back(PlanStoreyFlag{s, flagValue});
        }
        std::sort(d.storeyFlags.begin(), d.storeyFlags.end(),
                  [](const PlanStoreyFlag& a, const PlanStoreyFlag& b) { return a.storey < b.storey; });
    }
    if (const Json* grid = o.get("grid")) {
        const std::string gridPath = o.at("grid").str();
        r.requireObject(*grid, gridPath);
        const ObjectReader g{r, *grid, gridPath};
        g.real("module", d.grid.module);
        g.integer("setting16", d.grid.setting16);
        g.integer("setting32", d.grid.setting32);
        g.real("a", d.grid.a);
        g.real("b", d.grid.b);
        d.grid.unknownFields = unknownMembers(*grid, {"module", "setting16", "setting32", "a", "b"});
    }
    if (const Json* objects = o.get("objects")) {
        d.objects = listed != nullptr && objects->is_array() ? std::move(*listed)
                                                              : readObjects(r, *objects, o.at("objects").str(), false);
    }
    if (const Json* roofs = o.get("generatedRoofs")) {
        d.generatedRoofs = readObjects(r, *roofs, o.at("generatedRoofs").str(), true);
    }
    d.unknownFields = unknownMembers(value, {"windowHandle", "minimized", "currentStorey", "storeySettings", "storeyFlags",
                                             "grid", "objects", "generatedRoofs"});
    return d;
}

PlanApplication readApplication(const FieldReader& r, const Json& value, const std::string& path)
{
    r.requireObject(value, path);
    const ObjectReader o{r, value, path};
    PlanApplication a;
    o.text("version", a.version);
    o.text("folder", a.folder);
    o.integer("windowHandle", a.windowHandle);
    a.unknownFields = unknownMembers(value, {"version", "folder", "windowHandle"});
    return a;
}

// ---- writing ----

Json pointJson(const PlanPoint& p) { return Json::array({p.x, p.y}); }

Json outlineJson(const std::vector<PlanPoint>& outline)
{
    Json a = Json::array();
    for (const PlanPoint& p : outline) {
        a.push_back(pointJson(p));
    }
    return a;
}

Json attributesJson(const RoomAttributes& a)
{
    Json j = Json::object();
    j["value4"] = a.value4;
    j["flag"] = a.flag;
    j["value7"] = a.value7;
    for (std::size_t i = 0; i < a.value9to13.size(); ++i) {
        j["value" + std::to_string(9 + i)] = a.value9to13[i];
    }
    j["switch14"] = a.switch14;
    j["switch15"] = a.switch15;
    j["value16"] = a.value16;
    j["value17"] = a.value17;
    j["switch18"] = a.switch18;
    j["roomClass"] = a.roomClass;
    j["colourB"] = a.colourB;
    j["colourA"] = a.colourA;
    j["value22"] = a.value22;
    j["tatamiLayout"] = a.tatamiLayout;
    j["font"] = Common::toUtf8(a.font);
    j["value25"] = a.value25;
    j["value26"] = a.value26;
    j["value27"] = a.value27;
    j["value28"] = a.value28;
    return j;
}

// Known fields first, in a fixed order, then the unknown ones as they came.
Json objectJson(const PlanObject& obj)
{
    Json j = Json::object();
    j["type"] = obj.type;
    j["storey"] = obj.storey;
    switch (shapeOfType(obj.type)) {
    case ObjectShape::Room:
        j["outline"] = outlineJson(obj.outline);
        j["kind"] = obj.kind;
        j["name"] = Common::toUtf8(obj.name);
        j["floor"] = obj.floor;
        j["height"] = obj.height;
        j["attributes"] = attributesJson(obj.attributes);
        break;
    case ObjectShape::WallBox:
        j["centre"] = pointJson(obj.centre);
        j["size"] = pointJson(obj.size);
        j["fullHeight"] = obj.flag;
        j["bottom"] = obj.bottom;
        j["top"] = obj.top;
        break;
    case ObjectShape::HangingWallBox:
        j["centre"] = pointJson(obj.centre);
        j["size"] = pointJson(obj.size);
        j["hanging"] = obj.flag;
        j["bottom"] = obj.bottom;
        j["height"] = obj.height;
        break;
    case ObjectShape::WallAttached:
        j["start"] = pointJson(obj.start);
        j["end"] = pointJson(obj.end);
        j["upper"] = obj.upper;
        j["lower"] = obj.lower;
        break;
    case ObjectShape::Stair: {
        j["start"] = pointJson(obj.start);
        j["width"] = obj.width;
        j["form"] = obj.form;
        j["treads"] = Json::array({obj.treads[0], obj.treads[1], obj.treads[2]});
        j["counts"] = Json::array({obj.counts[0], obj.counts[1], obj.counts[2]});
        j["patterns"] = Json::array({obj.patterns[0], obj.patterns[1]});
        j["side"] = obj.side;
        j["direction"] = obj.direction;
        j["formFlag"] = obj.formFlag;
        j["skip"] = obj.skip;
        Json extra = Json::object();
        for (std::size_t i = 0; i < kStairExtraPositions.size(); ++i) {
            extra[std::to_string(kStairExtraPositions[i])] = obj.stairExtra[i];
        }
        j["extra"] = extra;
        break;
    }
    case ObjectShape::Roof:
        j["outline"] = outlineJson(obj.outline);
        j["pitch"] = obj.pitch;
        j["height"] = obj.height;
        j["baseOffset"] = obj.baseOffset;
        j["thickness"] = obj.thickness;
        j["eavesShape"] = obj.eavesShape;
        break;
    case ObjectShape::Plain: break;
    }
    if (obj.fitting) {
        const PlanFitting& f = *obj.fitting;
        j["fitting"] = Json{{"part", Common::toUtf8(f.part)}, {"centre", pointJson(f.centre)}, {"sill", f.sill},
                            {"angle", f.angle},           {"width", f.width},             {"height", f.height}};
    }
    for (auto it = obj.unknownFields.begin(); it != obj.unknownFields.end(); ++it) {
        j[it.key()] = it.value();
    }
    return j;
}

void appendUnknown(Json& target, const Json& unknown)
{
    for (auto it = unknown.begin(); it != unknown.end(); ++it) {
        target[it.key()] = it.value();
    }
}

// A plan is a few levels deep. Far deeper nesting is refused, so that
// copying or writing it back cannot exhaust the stack.
constexpr int kMaxDepth = 64;

[[noreturn]] void refuseTooDeep(const std::string& fileName)
{
    throw PlanError(fileName + ": not a plan file: nested deeper than " + std::to_string(kMaxDepth) + " levels");
}

// Refuses text nested too deep anywhere, sound JSON or not: the nesting is
// told before any other fault of the text. It is measured by one pass over
// the text rather than by a parser callback: the JSON library's callback
// parser looks through the whole enclosing array at the end of every
// object, which makes a plan of many objects take quadratic time.
void refuseIfTooDeep(const std::string& text, const std::string& fileName)
{
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (depth > kMaxDepth) {
                refuseTooDeep(fileName);
            }
            ++depth;
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
}

}  // namespace

PlanDocument PlanDocument::parse(const std::string& text, const std::string& fileName)
{
    // The objects are read as the parser completes each of them, so that
    // only one is held as parsed text at a time. Should one of them fail,
    // or the list be named twice, the text is read again whole and in the
    // order below, which tells the very complaint that comes first in it.
    const FieldReader r(fileName);
    const std::string listPath = "document.objects";
    Json root;
    std::vector<PlanObject> listed;
    bool listedSound = true;
    const ObjectListReader readListed = [&](std::size_t index, Json& element) {
        if (!listedSound) {
            return;
        }
        try {
            listed.push_back(readObject(r, element, FieldReader::index(listPath, index), false));
        } catch (...) {
            listedSound = false;
        }
    };
    try {
        const bool unique = parseJsonTextHandingObjects(text, root, readListed, static_cast<std::size_t>(kMaxDepth));
        if (!unique || !listedSound) {
            listed = {};
            listedSound = false;
            root = parseJsonText(text);
        }
    } catch (const JsonTooDeep&) {
        refuseTooDeep(fileName);
    } catch (const Json::exception& e) {
        // Sound text is measured as it is parsed; text that is not JSON
        // may nest too deep past the fault, which is told first.
        refuseIfTooDeep(text, fileName);
        throw PlanError(fileName + ": not a JSON plan file: " + e.what());
    }
    if (!root.is_object()) {
        r.fail("(top level)", "expected an object with \"application\" and \"document\"");
    }
    PlanDocument plan;
    const ObjectReader o{r, root, ""};
    if (const Json* a = o.get("application")) {
        plan.application = readApplication(r, *a, "application");
    }
    plan.document = readDocument(r, *o.get("document", true), "document", listedSound ? &listed : nullptr);
    plan.unknownFields = unknownMembers(root, {"application", "document"});
    return plan;
}

PlanDocument PlanDocument::load(const std::string& path)
{
    // Read without waiting and only from a regular file: a pipe or device
    // named as the plan could be waited on or read for ever. The plan stands
    // for the host's document and has no size limit of its own.
    std::string bytes;
    const Common::FileRead read = Common::readRegularFile(path, std::numeric_limits<std::size_t>::max(), bytes);
    switch (read.status) {
    case Common::ReadStatus::Read:
        break;
    case Common::ReadStatus::Folder:
        throw PlanError(path + ": cannot open the plan file: that is a folder, not a plan file");
    case Common::ReadStatus::NotRegular:
        throw PlanError(path + ": not a regular file");
    case Common::ReadStatus::CannotOpen:
        throw PlanError(path + ": cannot open the plan file: " + read.reason);
    case Common::ReadStatus::TooLarge:
    case Common::ReadStatus::Failed:
        throw PlanError(path + ": cannot read the plan file: " + read.reason);
    }
    return parse(bytes, path);
}

Json PlanDocument::toJson() const
{
    Json app = Json::object();
    app["version"] = Common::toUtf8(application.version);
    app["folder"] = Common::toUtf8(application.folder);
    app["windowHandle"] = application.windowHandle;
    appendUnknown(app, application.unknownFields);

    Json doc = Json::object();
    doc["windowHandle"] = document.windowHandle;
    doc["minimized"] = document.minimized;
    doc["currentStorey"] = document.currentStorey;
    doc["storeySettings"] = Json::array();
    for (std::uint16_t v : document.storeySettings) {
        doc["storeySettings"].push_back(v);
    }
    // The flags are kept sorted and once per storey: each is appended
    // without the look for an equal key that a tall plan would pay for with
    // the square of its storeys.
    Json flags = Json::object();
    auto& flagMembers = flags.get_ref<Json::object_t&>();
    flagMembers.reserve(document.storeyFlags.size());
    for (const PlanStoreyFlag& f : document.storeyFlags) {
        flagMembers.Container::emplace_back(std::to_string(f.storey), f.value);
    }
    doc["storeyFlags"] = flags;
    Json grid = Json{{"module", document.grid.module},
                     {"setting16", document.grid.setting16},
                     {"setting32", document.grid.setting32},
                     {"a", document.grid.a},
                     {"b", document.grid.b}};
    appendUnknown(grid, document.grid.unknownFields);
    doc["grid"] = grid;
    doc["objects"] = Json::array();
    for (const PlanObject& obj : document.objects) {
        doc["objects"].push_back(objectJson(obj));
    }
    doc["generatedRoofs"] = Json::array();
    for (const PlanObject& obj : document.generatedRoofs) {
        doc["generatedRoofs"].push_back(objectJson(obj));
    }
    appendUnknown(doc, document.unknownFields);

    Json root = Json::object();
    root["application"] = app;
    root["document"] = doc;
    appendUnknown(root, unknownFields);
    return root;
}

std::string PlanDocument::toText() const { return toJson().dump(2) + "\n"; }

void PlanDocument::save(const std::string& path) const
{
    const std::string text = toText();
    // A plan the loader would refuse (a number that is not finite becomes
    // null) must not replace a good one: every later run on it would fail.
    try {
        parse(text, path);
    } catch (const PlanError& e) {
        throw PlanError(std::string("the plan was not saved, it would not load again: ") + e.what());
    }
    std::string error;
    if (!Common::writeFileAtomically(path, text, error)) {
        throw PlanError(path + ": the plan was not saved: " + error);
    }
}

std::uint8_t PlanDocument::storeyFlag(std::int16_t storey) const
{
    for (const PlanStoreyFlag& f : document.storeyFlags) {
        if (f.storey == storey) {
            return f.value;
        }
    }
    return 0;
}

void PlanDocument::setStoreyFlag(std::int16_t storey, std::uint8_t value)
{
    auto& flags = document.storeyFlags;
    const auto it = std::lower_bound(flags.begin(), flags.end(), storey,
                                     [](const PlanStoreyFlag& f, std::int16_t s) { return f.storey < s; });
    if (it != flags.end() && it->storey == storey) {
        it->value = value;
    } else {
        flags.insert(it, PlanStoreyFlag{storey, value});
    }
}

bool PlanDocument::holdsRoof() const
{
    return std::any_of(document.objects.begin(), document.objects.end(),
                       [](const PlanObject& o) { return o.type == 24; });
}

}  // namespace HostSim
