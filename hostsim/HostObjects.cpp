#include "hostsim/HostObjects.h"

#include <cerrno>
#include <cstring>

#include <algorithm>
#include <cmath>

#include "common/platform/Files.h"
#include "common/text/Encoding.h"
#include "hostsim/HostSession.h"

namespace HostSim {

using Common::Arguments;
using Common::checkArguments;
using Common::numberAs;
using Common::operationName;
using Common::Variant;
using Common::VariantType;

// ---- journal ----

void CallJournal::open(const std::string& path)
{
    // Lines are only ever appended to a regular file: opening a pipe nobody
    // reads would wait for ever, and a device would swallow the journal.
    switch (Common::pathKind(path)) {
    case Common::PathKind::Folder:
        throw PlanError(path + ": cannot open the call journal: that is a folder; name a file in it instead");
    case Common::PathKind::Other:
        throw PlanError(path + ": cannot open the call journal: that is not a regular file (a device, pipe or socket)");
    case Common::PathKind::Missing:
    case Common::PathKind::File:
        break;
    }
    std::ofstream out(Common::fileSystemPath(path), std::ios::binary | std::ios::app);
    if (!out) {
        throw PlanError(path + ": cannot open the call journal for appending: " + std::strerror(errno));
    }
    out_ = std::move(out);
    path_ = path;
    open_ = true;
}

Json CallJournal::valueJson(const Variant& value)
{
    switch (value.type()) {
    case VariantType::Empty: return nullptr;
    case VariantType::I2:
    case VariantType::I4:
    case VariantType::UI1:
    case VariantType::UI2:
    case VariantType::UI4: return value.asInteger();
    case VariantType::R8: return value.asR8();
    case VariantType::Text: return Common::toUtf8(value.asText());
    case VariantType::DoubleArray: return Json(value.asDoubles());
    }
    return nullptr;
}

void CallJournal::record(const char* object, int op, bool put, const Arguments& args, const Variant& result,
                         const std::string* error)
{
    if (!open_) {
        return;
    }
    Json line = Json::object();
    line["object"] = object;
    line["op"] = op;
    line["put"] = put;
    Json list = Json::array();
    for (const Common::Argument& a : args) {
        list.push_back(valueJson(a.value));
    }
    line["args"] = list;
    line["result"] = valueJson(result);
    if (error != nullptr) {
        line["error"] = *error;
    }
    out_ << line.dump() << '\n';
    out_.flush();
    if (!out_) {
        // A journal with holes would mislead whoever reads it: fail the call.
        throw Common::HostError(op, path_ + ": cannot write the call journal: " + std::strerror(errno != 0 ? errno : EIO));
    }
}

// ---- shared state ----

PlanObject* HostState::current()
{
    if (currentRemoved || !cursor || *cursor >= plan.document.objects.size()) {
        return nullptr;
    }
    return &plan.document.objects[*cursor];
}

// ---- dispatch ----

DispatchObject::DispatchObject(const char* objectName, std::shared_ptr<HostState> state)
    : objectName_(objectName), state_(std::move(state))
{
}

void DispatchObject::define(const Common::HostOperation& op, Handler handler)
{
    const auto index = static_cast<std::size_t>(op.dispatchNumber);
    if (index >= operations_.size()) {
        operations_.resize(index + 1);
    }
    Common::Signature signature = Common::signatureOf(op);
    Variant noAnswer = numberAs(signature.result, 0.0);
    operations_[index] = std::make_unique<Operation>(Operation{std::move(signature), std::move(handler), std::move(noAnswer)});
}

void DispatchObject::defineProperty(const Common::HostOperation& op, std::function<void(const Variant&)> handler)
{
    // A property put carries its one value.
    properties_[op.dispatchNumber] = Property{Common::signatureOf(op).args.at(0).type, std::move(handler)};
}

void DispatchObject::invoke(int dispatchNumber, Arguments& args, Variant& result)
{
    const auto index = static_cast<std::size_t>(static_cast<unsigned>(dispatchNumber));
    const Operation* operation = index < operations_.size() ? operations_[index].get() : nullptr;
    // The object walks make millions of calls without arguments to
    // operations that take none, mostly with no journal to write: such a
    // call has nothing to check or record.
    if (operation != nullptr && args.empty() && operation->signature.args.empty() && !state_->journal.isOpen()) {
        result = operation->noAnswer;
        operation->handler(args, result);
        return;
    }
    invokeChecked(dispatchNumber, operation, args, result);
}

void DispatchObject::invokeChecked(int dispatchNumber, const Operation* operation, Arguments& args, Variant& result)
{
    try {
        if (operation == nullptr) {
            throw Common::HostError(dispatchNumber, operationName(objectName_, dispatchNumber) + ": no such operation");
        }
        checkArguments(objectName_, dispatchNumber, operation->signature, args);
        // The handler writes into the caller's result directly; a call that
        // fails leaves it with no meaning, as it has none for any host.
        result = operation->noAnswer;
        operation->handler(args, result);
    } catch (const Common::HostError& e) {
        const std::string message = e.what();
        state_->journal.record(objectName_, dispatchNumber, false, args, Variant(), &message);
        throw;
    }
    state_->journal.record(objectName_, dispatchNumber, false, args, result, nullptr);
}

void DispatchObject::putProperty(int dispatchNumber, const Variant& value)
{
    const Arguments asArgs{Common::Argument::in(value)};
    const auto it = properties_.find(dispatchNumber);
    try {
        if (it == properties_.end()) {
            throw Common::HostError(dispatchNumber,
                                    std::string(objectName_) + " property " + std::to_string(dispatchNumber) +
                                        ": no such property to set");
        }
        if (value.type() != it->second.type) {
            throw Common::HostError(dispatchNumber, std::string(objectName_) + " property " +
                                                        std::to_string(dispatchNumber) + ": expected " +
                                                        Common::variantTypeName(it->second.type) + ", got " +
                                                        Common::variantTypeName(value.type()));
        }
        it->second.handler(value);
    } catch (const Common::HostError& e) {
        const std::string message = e.what();
        state_->journal.record(objectName_, dispatchNumber, true, asArgs, Variant(), &message);
        throw;
    }
    state_->journal.record(objectName_, dispatchNumber, true, asArgs, Variant(), nullptr);
}

// ---- application ----

ApplicationObject::ApplicationObject(std::shared_ptr<HostState> state) : DispatchObject("application", std::move(state))
{
    define(Common::HostOps::ApplicationVersion, [this](Arguments&, Variant& r) { r = Variant::text(state_->plan.application.version); });
    define(Common::HostOps::ApplicationWindow, [this](Arguments&, Variant& r) { r = Variant::i4(state_->plan.application.windowHandle); });
    define(Common::HostOps::HostFolder, [this](Arguments&, Variant& r) { r = Variant::text(state_->plan.application.folder); });
}

// ---- document ----

namespace {

// Writes the host's answers into the output arguments in order, each as the
// type the caller prepared (already checked to be the listed type).
class Outputs {
public:
    explicit Outputs(Arguments& args) : args_(args) {}

    Outputs& num(double v)
    {
        Variant& slot = args_.at(next_++).value;
        slot = numberAs(slot.type(), v);
        return *this;
    }
    Outputs& text(const std::wstring& t)
    {
        args_.at(next_++).value = Variant::text(t);
        return *this;
    }
    Outputs& points(const std::vector<PlanPoint>& outline)
    {
        std::vector<double> flat;
        flat.reserve(outline.size() * 2);
        for (const PlanPoint& p : outline) {
            flat.push_back(p.x);
            flat.push_back(p.y);
        }
        args_.at(next_++).value = Variant::doubles(std::move(flat));
        return *this;
    }
    Outputs& point(const PlanPoint& p) { return num(p.x).num(p.y); }
    // Nothing to tell: every output gets the zero (or empty) value of its type.
    void nothing()
    {
        for (Common::Argument& a : args_) {
            a.value = numberAs(a.value.type(), 0.0);
        }
    }

private:
    Arguments& args_;
    std::size_t next_ = 0;
};

double num(const Arguments& args, int position) { return args.at(static_cast<std::size_t>(position - 1)).value.asNumber(); }
std::int64_t whole(const Arguments& args, int position)
{
    return args.at(static_cast<std::size_t>(position - 1)).value.asInteger();
}
PlanPoint pointAt(const Arguments& args, int position) { return PlanPoint{num(args, position), num(args, position + 1)}; }

std::vector<PlanPoint> outlineFrom(const Variant& v)
{
    const std::vector<double>& flat = v.asDoubles();
    std::vector<PlanPoint> points;
    points.reserve(flat.size() / 2);
    // An odd trailing value has no partner and is dropped.
    for (std::size_t i = 0; i + 1 < flat.size(); i += 2) {
        points.push_back(PlanPoint{flat[i], flat[i + 1]});
    }
    return points;
}

// A 32-bit flag as the plan's 16-bit flag: values that fit are kept, any
// other non-zero value stays non-zero.
std::uint16_t flag16(std::int64_t v)
{
    if (v >= 0 && v <= 65535) {
        return static_cast<std::uint16_t>(v);
    }
    return 1;
}

std::uint16_t wallKindOfType(std::uint32_t type)
{
    switch (type) {
    case 21: return 1;
    case 22: return 2;
    case 23: return 3;
    case 48: return 4;
    default: return 0;
    }
}

}  // namespace

DocumentObject::DocumentObject(std::shared_ptr<HostState> state) : DispatchObject("document", std::move(state))
{
    defineReading();
    defineCreating();
    defineSettings();
}

std::size_t DocumentObject::add(PlanObject object)
{
    object.storey = state_->plan.document.currentStorey;
    auto& objects = state_->plan.document.objects;
    objects.push_back(std::move(object));
    state_->cursor = objects.size() - 1;
    state_->currentRemoved = false;
    return objects.size() - 1;
}

void DocumentObject::defineReading()
{
    HostState& s = *state_;

    // The object cursor.
    define(Common::HostOps::CursorToFirst, [&s](Arguments&, Variant& r) {
        s.currentRemoved = false;
        if (s.plan.document.objects.empty()) {
            s.cursor.reset();
            r = Variant::i4(0);
        } else {
            s.cursor = 0;
            r = Variant::i4(1);
        }
    });
    define(Common::HostOps::CursorToNext, [&s](Arguments&, Variant& r) {
        const std::size_t count = s.plan.document.objects.size();
        std::size_t next = count;
        if (s.cursor) {
            next = s.currentRemoved ? *s.cursor : *s.cursor + 1;
        }
        s.currentRemoved = false;
        if (next < count) {
            s.cursor = next;
            r = Variant::i4(1);
        } else {
            s.cursor.reset();
            r = Variant::i4(0);
        }
    });
    define(Common::HostOps::CurrentObjectType, [&s](Arguments&, Variant& r) {
        const PlanObject* o = s.current();
        r = Variant::ui4(o ? o->type : 0);
    });
    define(Common::HostOps::CurrentObjectStorey, [&s](Arguments&, Variant& r) {
        const PlanObject* o = s.current();
        r = Variant::i2(o ? o->storey : 0);
    });

    // Type-20 wall box.
    define(Common::HostOps::ReadHangingWallBox, [&s](Arguments& args, Variant& r) {
        Outputs out(args);
        const PlanObject* o = s.current();
        if (!o || shapeOfType(o->type) != ObjectShape::HangingWallBox) {
            out.nothing();
            return;
        }
        out.point(o->centre).point(o->size).num(o->flag).num(o->bottom).num(o->height);
        r = Variant::i4(1);
    });
    // Fitting of the current object.
    define(Common::HostOps::ReadFitting, [&s](Arguments& args, Variant& r) {
        Outputs out(args);
        const PlanObject* o = s.current();
        if (!o || !o->fitting) {
            out.nothing();
            return;
        }
        const PlanFitting& f = *o->fitting;
        out.text(f.part).point(f.centre).num(f.sill).num(f.angle).num(f.width).num(f.height).num(0);
        r = Variant::i4(1);
    });
    // Type-5 wall box.
    define(Common::HostOps::ReadWallBox, [&s](Arguments& args, Variant& r) {
        Outputs out(args);
        const PlanObject* o = s.current();
        if (!o || shapeOfType(o->type) != ObjectShape::WallBox) {
            out.nothing();
            return;
        }
        out.num(0).point(o->centre).point(o->size).num(o->flag).num(o->bottom).num(o->top);
        r = Variant::i4(1);
    });
    // Room.
    define(Common::HostOps::ReadRoom, [&s](Arguments& args, Variant& r) {
               Outputs out(args);
               const PlanObject* o = s.current();
               if (!o || shapeOfType(o->type) != ObjectShape::Room) {
                   out.nothing();
                   return;
               }
               const RoomAttributes& a = o->attributes;
               out.points(o->outline).num(o->kind).text(o->name);
               out.num(static_cast<double>(a.value4)).num(static_cast<double>(a.flag));
               out.num(o->floor).num(a.value7).num(o->height);
               for (double v : a.value9to13) {
                   out.num(v);
               }
               for (std::int64_t v : {a.switch14, a.switch15, a.value16, a.value17, a.switch18}) {
                   out.num(static_cast<double>(v));
               }
               out.num(static_cast<double>(a.roomClass))
                   .num(static_cast<double>(a.colourB))
                   .num(static_cast<double>(a.colourA))
                   .num(static_cast<double>(a.value22))
                   .num(static_cast<double>(a.tatamiLayout))
                   .text(a.font)
                   .num(a.value25)
                   .num(static_cast<double>(a.value26))
                   .num(a.value27)
                   .num(static_cast<double>(a.value28));
               r = Variant::i4(1);
           });
    // Stair: positions 1 to 15 and 30 are the stair's fields.
    define(Common::HostOps::ReadStair, [&s](Arguments& args, Variant& r) {
               Outputs out(args);
               const PlanObject* o = s.current();
               if (!o || shapeOfType(o->type) != ObjectShape::Stair) {
                   out.nothing();
                   return;
               }
               out.point(o->start).num(o->width).num(o->form);
               for (double t : o->treads) {
                   out.num(t);
               }
               for (std::uint16_t c : o->counts) {
                   out.num(c);
               }
               out.num(o->patterns[0]).num(o->patterns[1]).num(o->side).num(o->direction).num(o->formFlag);
               for (std::size_t i = 0; i < kStairExtraPositions.size(); ++i) {
                   if (kStairExtraPositions[i] == 31) {
                       out.num(o->skip);  // position 30
                   }
                   out.num(o->stairExtra[i]);
               }
               r = Variant::i4(1);
           });
    // Wall-attached object.
    define(Common::HostOps::ReadWallAttached, [&s](Arguments& args, Variant& r) {
        Outputs out(args);
        const PlanObject* o = s.current();
        if (!o || shapeOfType(o->type) != ObjectShape::WallAttached) {
            out.nothing();
            return;
        }
        out.num(wallKindOfType(o->type)).point(o->start).point(o->end).num(o->upper).num(o->lower);
        r = Variant::i4(1);
    });
    // Roof.
    define(Common::HostOps::ReadRoof, [&s](Arguments& args, Variant& r) {
        Outputs out(args);
        const PlanObject* o = s.current();
        if (!o || shapeOfType(o->type) != ObjectShape::Roof) {
            out.nothing();
            return;
        }
        out.points(o->outline).num(o->pitch).num(o->height).num(o->baseOffset).num(0).num(0).num(0);
        out.num(o->thickness).num(o->eavesShape).num(0).num(0).num(0).num(0);
        r = Variant::i4(1);
    });

    // Marking and removing the current object.
    define(Common::HostOps::MarkCurrentObject, [&s](Arguments&, Variant&) {
        if (PlanObject* o = s.current()) {
            o->marked = true;
        }
    });
    define(Common::HostOps::RemoveMarkedObject, [&s](Arguments&, Variant&) {
        PlanObject* o = s.current();
        if (!o || !o->marked) {
            return;
        }
        const std::size_t index = *s.cursor;
        auto& objects = s.plan.document.objects;
        objects.erase(objects.begin() + static_cast<std::ptrdiff_t>(index));
        s.currentRemoved = true;
        if (s.lastRoof) {
            if (*s.lastRoof == index) {
                s.lastRoof.reset();
            } else if (*s.lastRoof > index) {
                --*s.lastRoof;
            }
        }
    });
}

void DocumentObject::defineCreating()
{
    HostState& s = *state_;

    // Room on the current storey; values without a field of their own are
    // kept as attributes.
    define(Common::HostOps::NewRoom, [this](Arguments& args, Variant& r) {
               PlanObject room;
               room.type = 19;
               room.outline = outlineFrom(args[0].value);
               room.kind = args[1].value.asUI2();
               room.name = args[2].value.asText();
               room.floor = num(args, 6);
               room.height = num(args, 8);
               RoomAttributes& a = room.attributes;
               a.value4 = whole(args, 4);
               a.flag = whole(args, 5);
               a.value7 = num(args, 7);
               for (int i = 0; i < 5; ++i) {
                   a.value9to13[static_cast<std::size_t>(i)] = num(args, 9 + i);
               }
               a.switch14 = whole(args, 14);
               a.switch15 = whole(args, 15);
               a.value16 = whole(args, 16);
               a.value17 = whole(args, 17);
               a.switch18 = whole(args, 18);
               a.roomClass = whole(args, 19);
               a.colourB = whole(args, 20);
               a.colourA = whole(args, 21);
               a.value22 = whole(args, 22);
               a.tatamiLayout = whole(args, 23);
               a.font = args[23].value.asText();
               a.value25 = num(args, 25);
               a.value26 = whole(args, 26);
               a.value27 = num(args, 27);
               a.value28 = whole(args, 28);
               add(std::move(room));
               r = Variant::i4(1);
           });

    // Wall-line element: kinds 1 to 4 are the wall-attached types 21, 22, 23, 48.
    define(Common::HostOps::NewWallLineElement, [this](Arguments& args, Variant& r) {
        static constexpr std::uint32_t kTypes[] = {21, 22, 23, 48};
        const std::uint16_t kind = args[0].value.asUI2();
        if (kind < 1 || kind > 4) {
            r = Variant::i4(0);  // not a kind this host knows: nothing made
            return;
        }
        PlanObject o;
        o.type = kTypes[kind - 1];
        o.start = pointAt(args, 2);
        o.end = pointAt(args, 4);
        o.upper = num(args, 6);
        o.lower = num(args, 7);
        add(std::move(o));
        r = Variant::i4(1);
    });

    // Stair: host stair type 0 to 5 gives object type 13 to 18.
    define(Common::HostOps::NewStair, [this](Arguments& args, Variant& r) {
        const std::uint16_t form = args[3].value.asUI2();
        if (form > 5) {
            r = Variant::i4(0);
            return;
        }
        PlanObject o;
        o.type = 13u + form;
        o.start = pointAt(args, 1);
        o.width = num(args, 3);
        o.form = form;
        for (int i = 0; i < 3; ++i) {
            o.treads[static_cast<std::size_t>(i)] = num(args, 5 + i);
            o.counts[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(whole(args, 8 + i));
        }
        o.patterns = {static_cast<std::uint16_t>(whole(args, 11)), static_cast<std::uint16_t>(whole(args, 12))};
        o.side = flag16(whole(args, 13));
        o.direction = num(args, 14);
        o.formFlag = flag16(whole(args, 15));
        o.skip = 0;
        for (std::size_t i = 0; i < kStairExtraPositions.size(); ++i) {
            o.stairExtra[i] = num(args, kStairExtraPositions[i]);
        }
        add(std::move(o));
        r = Variant::i4(1);
    });

    // Wall box, type 5: flag = full height, value 1 = bottom, value 2 = top.
    define(Common::HostOps::NewWallBox, [this](Arguments& args, Variant& r) {
        PlanObject o;
        o.type = 5;
        o.centre = pointAt(args, 2);
        o.size = pointAt(args, 4);
        o.flag = flag16(whole(args, 6));
        o.bottom = num(args, 7);
        o.top = num(args, 8);
        add(std::move(o));
        r = Variant::i4(1);
    });

    // Wall box, type 20: a hanging box takes its height first, a standing one
    // its bottom first.
    define(Common::HostOps::NewWallBoxSecondForm, [this](Arguments& args, Variant& r) {
        PlanObject o;
        o.type = 20;
        o.centre = pointAt(args, 1);
        o.size = pointAt(args, 3);
        o.flag = flag16(whole(args, 5));
        if (o.flag != 0) {
            o.height = num(args, 6);
            o.bottom = num(args, 7);
        } else {
            o.bottom = num(args, 6);
            o.height = num(args, 7);
        }
        add(std::move(o));
        r = Variant::i4(1);
    });

    // Fitting placed as an object of its own (type 27).
    define(Common::HostOps::PlaceFitting, [this](Arguments& args, Variant& r) {
        PlanObject o;
        o.type = 27;
        PlanFitting f;
        f.part = args[0].value.asText();
        f.centre = pointAt(args, 2);
        f.sill = num(args, 4);
        f.angle = num(args, 5);
        f.width = num(args, 6);
        f.height = num(args, 7);
        o.fitting = f;
        add(std::move(o));
        r = Variant::i4(1);
    });

    // Roof face; the eaves offset is the base line offset.
    define(Common::HostOps::NewRoofFace, [this, &s](Arguments& args, Variant& r) {
        PlanObject o;
        o.type = 24;
        o.outline = outlineFrom(args[0].value);
        o.pitch = num(args, 2);
        o.height = num(args, 3);
        o.baseOffset = num(args, 4);
        o.thickness = num(args, 7);
        s.lastRoof = add(std::move(o));
        r = Variant::i4(1);
    });
    define(Common::HostOps::SetRoofThickness, [&s](Arguments& args, Variant& r) {
        if (!s.lastRoof) {
            r = Variant::i4(0);
            return;
        }
        s.plan.document.objects[*s.lastRoof].thickness = num(args, 1);
        r = Variant::i4(1);
    });
}

void DocumentObject::defineSettings()
{
    HostState& s = *state_;
    auto& doc = s.plan.document;

    define(Common::HostOps::CurrentStorey, [&doc](Arguments&, Variant& r) { r = Variant::i2(doc.currentStorey); });
    define(Common::HostOps::SelectStorey, [&doc](Arguments& args, Variant& r) {
        doc.currentStorey = args[0].value.asI2();
        r = Variant::i4(1);
    });
    define(Common::HostOps::WriteStoreyFlag, [&s](Arguments& args, Variant&) {
        s.plan.setStoreyFlag(args[0].value.asI2(), args[1].value.asUI1());
        if (s.rebuilding != 0) {
            s.storeySettingWrittenWhileRebuilding = true;
        }
    });
    define(Common::HostOps::ReadStoreyFlag, [&s](Arguments& args, Variant& r) { r = Variant::ui1(s.plan.storeyFlag(args[0].value.asI2())); });

    define(Common::HostOps::SetGridModule, [&doc](Arguments& args, Variant&) { doc.grid.module = num(args, 1); });
    define(Common::HostOps::GridModule, [&doc](Arguments&, Variant& r) { r = Variant::r8(doc.grid.module); });
    define(Common::HostOps::WriteGridSettings, [&doc](Arguments& args, Variant&) {
        doc.grid.module = num(args, 1);
        doc.grid.setting16 = args[1].value.asUI2();
        doc.grid.setting32 = args[2].value.asUI4();
        doc.grid.a = num(args, 4);
        doc.grid.b = num(args, 5);
    });
    define(Common::HostOps::ReadGridSettings, [&doc](Arguments& args, Variant&) {
        Outputs(args).num(doc.grid.module).num(doc.grid.setting16).num(doc.grid.setting32).num(doc.grid.a).num(doc.grid.b);
    });

    define(Common::HostOps::WriteStoreySettings, [&doc](Arguments& args, Variant&) {
        for (std::size_t i = 0; i < doc.storeySettings.size(); ++i) {
            doc.storeySettings[i] = args[i].value.asUI2();
        }
    });
    define(Common::HostOps::ReadStoreySettings, [&doc](Arguments& args, Variant&) {
        Outputs out(args);
        for (std::uint16_t v : doc.storeySettings) {
            out.num(v);
        }
    });

    // The rebuilding switch. Read as a property without arguments; set with a
    // property put. When it goes back to 0 after a storey setting was written
    // while it was on, a plan without roofs gets the host's generated roofs.
    define(Common::HostOps::Rebuilding, [&s](Arguments&, Variant& r) { r = Variant::ui2(s.rebuilding); });
    defineProperty(Common::HostOps::SetRebuilding, [&s](const Variant& v) {
        const std::uint16_t before = s.rebuilding;
        s.rebuilding = v.asUI2();
        if (s.rebuilding == 0 && before != 0) {
            if (s.storeySettingWrittenWhileRebuilding && !s.plan.holdsRoof()) {
                auto& objects = s.plan.document.objects;
                objects.insert(objects.end(), s.plan.document.generatedRoofs.begin(),
                               s.plan.document.generatedRoofs.end());
            }
            s.storeySettingWrittenWhileRebuilding = false;
        }
    });

    // Redraw, storey done and import done change nothing in the plan.
    define(Common::HostOps::Redraw, [](Arguments&, Variant&) {});
    define(Common::HostOps::StoreyDone, [](Arguments&, Variant&) {});
    define(Common::HostOps::ImportDone, [](Arguments&, Variant&) {});

    define(Common::HostOps::DocumentWindow, [&doc](Arguments&, Variant& r) { r = Variant::i4(doc.windowHandle); });
}

}  // namespace HostSim
