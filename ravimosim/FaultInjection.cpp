#include "ravimosim/FaultInjection.h"

namespace RavimoSim {

namespace {

class FaultyObject : public Common::AutomationObject {
public:
    FaultyObject(std::shared_ptr<Common::AutomationObject> object, std::shared_ptr<FaultPlan> faults)
        : object_(std::move(object)), faults_(std::move(faults))
    {
    }

    void invoke(int dispatchNumber, Common::Arguments& args, Common::Variant& result) override
    {
        count(dispatchNumber);
        object_->invoke(dispatchNumber, args, result);
    }

    void putProperty(int dispatchNumber, const Common::Variant& value) override
    {
        count(dispatchNumber);
        object_->putProperty(dispatchNumber, value);
    }

private:
    void count(int dispatchNumber)
    {
        const long call = ++faults_->calls;
        if (faults_->quitAfter != 0 && call >= faults_->quitAfter) {
            faults_->quitNow = true;
        }
        if (call == faults_->failAt) {
            throw Common::HostError(dispatchNumber, kInjectedFailure);
        }
    }

    std::shared_ptr<Common::AutomationObject> object_;
    std::shared_ptr<FaultPlan> faults_;
};

}  // namespace

std::shared_ptr<Common::AutomationObject> withFaults(std::shared_ptr<Common::AutomationObject> object,
                                                     std::shared_ptr<FaultPlan> faults)
{
    return std::make_shared<FaultyObject>(std::move(object), std::move(faults));
}

}  // namespace RavimoSim
