#include "hostsim/JsonText.h"

#include <cstddef>
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

    explicit DocumentBuilder(Json& root) : root_(root) {}

    bool null() { return place(Json(nullptr)); }
    bool boolean(bool value) { return place(Json(value)); }
    bool number_integer(Json::number_integer_t value) { return place(Json(value)); }
    bool number_unsigned(Json::number_unsigned_t value) { return place(Json(value)); }
    bool number_float(Json::number_float_t value, const string_t&) { return place(Json(value)); }
    bool string(string_t& value) { return place(Json(value)); }
    bool binary(Json::binary_t& value) { return place(Json(std::move(value))); }

    bool start_object(std::size_t)
    {
        Json* object = put(Json(Json::value_t::object));
        open_.push_back(Open{object, {}});
        return true;
    }

    bool key(string_t& name)
    {
        Open& open = open_.back();
        // The members as the vector they are kept in, by position.
        auto& members = static_cast<Json::object_t::Container&>(open.value->get_ref<Json::object_t&>());
        // A few members are looked through; past that an index by name
        // answers, built once for the object and kept up to date.
        constexpr std::size_t kLookThrough = 16;
        if (open.index.empty() && members.size() < kLookThrough) {
            for (auto& member : members) {
                if (member.first == name) {
                    member_ = &member.second;
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
                return true;
            }
        }
        members.emplace_back(name, nullptr);
        member_ = &members.back().second;
        return true;
    }

    bool end_object()
    {
        open_.pop_back();
        return true;
    }

    bool start_array(std::size_t)
    {
        Json* array = put(Json(Json::value_t::array));
        open_.push_back(Open{array, {}});
        return true;
    }

    bool end_array()
    {
        open_.pop_back();
        return true;
    }

    // The parser's own exception, thrown as Json::parse throws it.
    template <typename Exception>
    bool parse_error(std::size_t, const std::string&, const Exception& error)
    {
        throw error;
    }

private:
    struct Open {
        Json* value;
        // Member positions by name, only for objects of many members.
        std::unordered_map<std::string, std::size_t> index;
    };

    bool place(Json&& value)
    {
        put(std::move(value));
        return true;
    }

    // Puts `value` where the text has it: as the document, as the next
    // element of the open array, or as the value of the member just named.
    Json* put(Json&& value)
    {
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
        return member_;
    }

    Json& root_;
    std::vector<Open> open_;
    Json* member_ = nullptr;
};

}  // namespace

Json parseJsonText(const std::string& text)
{
    Json root;
    DocumentBuilder builder(root);
    Json::sax_parse(text, &builder, nlohmann::detail::input_format_t::json, true, false);
    return root;
}

}  // namespace HostSim
