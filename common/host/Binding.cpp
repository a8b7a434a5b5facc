#include "common/host/Binding.h"

namespace Common {

namespace {

// The operation that answers the window handle of the object's host window.
int windowHandleOperation(const std::wstring& progId)
{
    return progId == kHostDocumentProgId ? HostOps::DocumentWindow.dispatchNumber
                                         : HostOps::ApplicationWindow.dispatchNumber;
}

}  // namespace

HostObject bindHostObject(RunningObjectTable& table, const std::wstring& progId, std::int32_t handle)
{
    if (handle != 0) {
        const std::wstring prefix = L"!" + progId;
        const int operation = windowHandleOperation(progId);
        for (RunningObjectTable::Entry& entry : table.entries()) {
            if (!entry.displayName.starts_with(prefix) || !entry.object) {
                continue;
            }
            Variant answer;
            try {
                Arguments none;
                entry.object->invoke(operation, none, answer);
            } catch (const HostError&) {
                // A host that does not answer (hung or closing) is not the
                // one that started us; the others may still be.
                continue;
            }
            if (answer.asInteger() == handle) {
                return HostObject(std::move(entry.object));
            }
            // Not ours: the reference goes with the entry.
        }
    }
    return HostObject(table.activeObject(progId));
}

}  // namespace Common
