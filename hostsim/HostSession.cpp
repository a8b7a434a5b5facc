#include "hostsim/HostSession.h"

#include <filesystem>
#include <system_error>

#include "common/platform/Files.h"
#include "hostsim/HostObjects.h"
#include "hostsim/PlanDocument.h"

namespace HostSim {

namespace {

// The running object table of one simulated host: its application and its
// document, registered under "!" + ProgID as the host registers them, and
// both active.
class SimulatedObjectTable : public Common::RunningObjectTable {
public:
    SimulatedObjectTable(std::shared_ptr<Common::AutomationObject> application,
                         std::shared_ptr<Common::AutomationObject> document)
        : application_(std::move(application)), document_(std::move(document))
    {
    }

    std::vector<Entry> entries() override
    {
        return {Entry{std::wstring(L"!") + Common::kHostApplicationProgId, application_},
                Entry{std::wstring(L"!") + Common::kHostDocumentProgId, document_}};
    }

    std::shared_ptr<Common::AutomationObject> activeObject(const std::wstring& progId) override
    {
        if (progId == Common::kHostApplicationProgId) {
            return application_;
        }
        if (progId == Common::kHostDocumentProgId) {
            return document_;
        }
        return nullptr;
    }

private:
    std::shared_ptr<Common::AutomationObject> application_;
    std::shared_ptr<Common::AutomationObject> document_;
};

class SimulatedSession : public HostSession {
public:
    SimulatedSession(PlanDocument plan, std::string path) : state_(std::make_shared<HostState>())
    {
        state_->plan = std::move(plan);
        state_->planPath = std::move(path);
        table_ = std::make_unique<SimulatedObjectTable>(std::make_shared<ApplicationObject>(state_),
                                                        std::make_shared<DocumentObject>(state_));
    }

    void setTrace(const std::string& tracePath) override { state_->journal.open(tracePath); }
    Common::RunningObjectTable& runningObjectTable() override { return *table_; }
    void save() override { state_->plan.save(state_->planPath); }
    PlanDocument& plan() override { return state_->plan; }
    bool isWindowMinimized(std::int32_t window) override
    {
        const PlanDocument& plan = state_->plan;
        const bool ours = window == plan.document.windowHandle || window == plan.application.windowHandle;
        return ours && plan.document.minimized;
    }

private:
    std::shared_ptr<HostState> state_;
    std::unique_ptr<SimulatedObjectTable> table_;
};

}  // namespace

std::unique_ptr<HostSession> HostSession::open(const std::string& planPath, bool missingIsEmpty)
{
    std::error_code ec;
    const auto status = std::filesystem::status(Common::fileSystemPath(planPath), ec);
    if (status.type() == std::filesystem::file_type::not_found) {
        if (!missingIsEmpty) {
            throw PlanError(planPath + ": no such plan file");
        }
        return std::make_unique<SimulatedSession>(PlanDocument(), planPath);
    }
    return std::make_unique<SimulatedSession>(PlanDocument::load(planPath), planPath);
}

}  // namespace HostSim
