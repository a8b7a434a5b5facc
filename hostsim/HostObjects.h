#pragma once

// The simulated host's two automation objects (application and document)
// and the state they share: the plan, the object cursor, the rebuilding
// switch and the call journal.

#include <cstddef>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/host/AutomationObject.h"
#include "hostsim/PlanDocument.h"
#include "common/host/CallCheck.h"
#include "common/host/HostOperations.h"

namespace HostSim {

// One JSON line per host call, flushed at once so that a run that ends
// abruptly still leaves every call made before it in the file.
class CallJournal {
public:
    // Throws PlanError when the file cannot be opened for appending.
    void open(const std::string& path);
    bool isOpen() const { return open_; }
    // `error` is set for a call that failed; the line then carries it too.
    void record(const char* object, int op, bool put, const Common::Arguments& args, const Common::Variant& result,
                const std::string* error);

    static Json valueJson(const Common::Variant& value);

private:
    std::string path_;
    std::ofstream out_;
    bool open_ = false;
};

struct HostState {
    PlanDocument plan;
    std::string planPath;
    CallJournal journal;

    // The object cursor: index of the current object in plan.document.objects.
    std::optional<std::size_t> cursor;
    // The current object was removed: `cursor` names the one that followed it,
    // which the next move to the next object makes current.
    bool currentRemoved = false;
    // The roof made by the last roof creation, while it exists.
    std::optional<std::size_t> lastRoof;
    // Property 179 and the mark left by writing a storey setting while it was
    // not 0.
    std::uint16_t rebuilding = 0;
    bool storeySettingWrittenWhileRebuilding = false;

    PlanObject* current();
};

// Dispatches operations by number to handlers, checking the argument list
// of each call and writing one journal line per call.
class DispatchObject : public Common::AutomationObject {
public:
    using Handler = std::function<void(Common::Arguments& args, Common::Variant& result)>;

    DispatchObject(const char* objectName, std::shared_ptr<HostState> state);
    void invoke(int dispatchNumber, Common::Arguments& args, Common::Variant& result) override;
    void putProperty(int dispatchNumber, const Common::Variant& value) override;

protected:
    // Answers `op` (of this object's side) with `handler`; calls are checked
    // against the operation's argument list.
    void define(const Common::HostOperation& op, Handler handler);
    // A property put this object accepts.
    void defineProperty(const Common::HostOperation& op, std::function<void(const Common::Variant&)> handler);

    const char* objectName_;
    std::shared_ptr<HostState> state_;

private:
    struct Operation {
        Common::Signature signature;
        Handler handler;
        // The answer before the handler gives one: 0 (or empty) of the
        // result type.
        Common::Variant noAnswer;
    };
    struct Property {
        Common::VariantType type;
        std::function<void(const Common::Variant&)> handler;
    };
    // Checks the call against the operation's argument list and writes
    // its journal line; throws HostError for an unknown operation.
    void invokeChecked(int dispatchNumber, const Operation* operation, Common::Arguments& args,
                       Common::Variant& result);

    // By dispatch number (null where there is none): a plan walked object
    // by object makes millions of calls, each looked up here.
    std::vector<std::unique_ptr<Operation>> operations_;
    std::map<int, Property> properties_;
};

class ApplicationObject : public DispatchObject {
public:
    explicit ApplicationObject(std::shared_ptr<HostState> state);
};

class DocumentObject : public DispatchObject {
public:
    explicit DocumentObject(std::shared_ptr<HostState> state);

private:
    void defineReading();
    void defineCreating();
    void defineSettings();
    // Appends a made object on the current storey and makes it current.
    std::size_t add(PlanObject object);
};

}  // namespace HostSim
