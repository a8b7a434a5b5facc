#include "hostsim/JsonText.h"

#include <cstddef>
#include <limits>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace HostSim {

namespace {

// Builds the document from the parser's events. Each open object or array
// stays where its parent put it until it closes: nothing is appended to a
// parent while a child of it is open, so the pointers kept here stay valid.
class DocumentBuilder {
public:
    using string_t = Json::string_t;

    DocumentBuilder(Json& root, const ObjectListReader* list, std::size_t maxDepth)
        : root_(root), list_(list), maxDepth_(maxDepth)
    {
    }

    // False when "document" or its "objects" was named twice.
    bool listUnique() const { return !listRepeated_; }

    bool null() { return place(Json(nullptr)); }
    bool boolean(bool value) { return place(Json(value)); }
    bool number_integer(Json::number_integer_t value) { return place(Json(value)); }
    bool number_unsigned(Json::number_unsigned_t value) { return place(Json(value)); }
    bool number_float(Json::number_float_t value, const string_t&) { return place(Json(value)); }
    bool string(string_t& value) { return place(Json(std::move(value))); }
    bool binary(Json::binary_t& value) { return place(Json(std::move(value))); }

    bool start_object(std::size_t)
    {
        refuseTooDeep();
        const bool top = open_.empty();
        const bool listed = !top && open_.back().role == Role::Objects;
        const bool inObject = listed || (!top && open_.back().inObject);
        Json* object = put(Json(Json::value_t::object));
        const Role role = top ? Role::Top : placedRole_ == Role::Document ? Role::Document : Role::Other;
        if (listed) {
            // Room for the members of any plan object but the attributes of
            // a room, made once: it is read and dropped at once.
            object->get_ref<Json::object_t&>().reserve(kObjectMembers);
        }
        open_.push_back(Open{object, {}, role, 0, inObject});
        return true;
    }

    bool key(string_t& name)
    {
        Open& open = open_.back();
        // The members that lead to the object list.
        memberRole_ = Role::Other;
        if (list_ != nullptr) {
            if (open.role == Role::Top && name == "document") {
                memberRole_ = Role::Document;
            } else if (open.role == Role::Document && name == "objects") {
                memberRole_ = Role::Objects;
            }
        }
        // The members as the vector they are kept in, by position.
        auto& members = static_cast<Json::object_t::Container&>(open.value->get_ref<Json::object_t&>());
        // A few members are looked through; past that an index by name
        // answers, built once for the object and kept up to date.
        constexpr std::size_t kLookThrough = 16;
        if (open.index.empty() && members.size() < kLookThrough) {
            for (auto& member : members) {
                if (member.first == name) {
                    member_ = &member.second;
                    noteRepeated();
                    return true;
                }
            }
        } else {
            if (open.index.empty()) {
                for (std::size_t i = 0; i < members.size(); ++i) {
                    open.index.emplace(members[i].first, i);
                }
            }
            const auto [it, added] = open.index.emplace(name, members.size());
            if (!added) {
                member_ = &members[it->second].second;
                noteRepeated();
                return true;
            }
        }
        members.emplace_back(std::move(name), nullptr);
        member_ = &members.back().second;
        return true;
    }

    bool end_object()
    {
        open_.pop_back();
        handOver();
        return true;
    }

    bool start_array(std::size_t)
    {
        refuseTooDeep();
        const bool inObject = !open_.empty() && (open_.back().role == Role::Objects || open_.back().inObject);
        Json* array = put(Json(Json::value_t::array));
        if (inObject) {
            // A point or the start of an outline, in one allocation.
            array->get_ref<Json::array_t&>().reserve(2);
        }
        open_.push_back(Open{array, {}, placedRole_ == Role::Objects ? Role::Objects : Role::Other, 0, inObject});
        return true;
    }

    bool end_array()
    {
        open_.pop_back();
        handOver();
        return true;
    }

    // The parser's own exception, thrown as Json::parse throws it.
    template <typename Exception>
    bool parse_error(std::size_t, const std::string&, const Exception& error)
    {
        throw error;
    }

private:
    // What an open value is on the way to the object list.
    enum class Role : unsigned char { Other, Top, Document, Objects };

    struct Open {
        Json* value;
        // Member positions by name, only for objects of many members.
        std::unordered_map<std::string, std::size_t> index;
        Role role;
        // Objects list: the elements handed over so far.
        std::size_t handed;
        // Within an element of the objects list.
        bool inObject;
    };

    static constexpr std::size_t kObjectMembers = 10;

    bool place(Json&& value)
    {
        put(std::move(value));
        handOver();
        return true;
    }

    void refuseTooDeep() const
    {
        if (open_.size() > maxDepth_) {
            throw JsonTooDeep{};
        }
    }

    void noteRepeated()
    {
        if (memberRole_ != Role::Other) {
            listRepeated_ = true;
        }
    }

    // Hands a just completed element of the object list over, and drops it.
    void handOver()
    {
        if (open_.empty() || open_.back().role != Role::Objects) {
            return;
        }
        Open& list = open_.back();
        auto& elements = list.value->get_ref<Json::array_t&>();
        (*list_)(list.handed++, elements.back());
        elements.pop_back();
    }

    // Puts `value` where the text has it: as the document, as the next
    // element of the open array, or as the value of the member just named.
    Json* put(Json&& value)
    {
        placedRole_ = Role::Other;
        if (open_.empty()) {
            root_ = std::move(value);
            return &root_;
        }
        Json& parent = *open_.back().value;
        if (parent.is_array()) {
            auto& elements = parent.get_ref<Json::array_t&>();
            elements.push_back(std::move(value));
            return &elements.back();
        }
        *member_ = std::move(value);
        placedRole_ = memberRole_;
        memberRole_ = Role::Other;
        return member_;
    }

    Json& root_;
    const ObjectListReader* list_;
    std::size_t maxDepth_;
    std::vector<Open> open_;
    Json* member_ = nullptr;
    // The role of the member just named, then of the value just placed.
    Role memberRole_ = Role::Other;
    Role placedRole_ = Role::Other;
    bool listRepeated_ = false;
};

}  // namespace

Json parseJsonText(const std::string& text)
{
    Json root;
    DocumentBuilder builder(root, nullptr, std::numeric_limits<std::size_t>::max());
    Json::sax_parse(text, &builder, nlohmann::detail::input_format_t::json, true, false);
    return root;
}

bool parseJsonTextHandingObjects(const std::string& text, Json& root, const ObjectListReader& list,
                                 std::size_t maxDepth)
{
    DocumentBuilder builder(root, &list, maxDepth);
    Json::sax_parse(text, &builder, nlohmann::detail::input_format_t::json, true, false);
    return builder.listUnique();
}

}  // namespace HostSim
