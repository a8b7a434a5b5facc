#pragma once

#include <memory>
#include <unordered_map>
#include <vector>

namespace Importer {

// The records (walls, roofs) each storey builds, each list in the model's
// order. Found once for a whole building pass: a look at every record for
// every storey grows with the square of a tall plan.
template <typename Record>
class RecordsByStorey {
public:
    // A record is built from its own storey plus `shift` (a roof from the
    // storey below it: -1).
    explicit RecordsByStorey(const std::vector<std::unique_ptr<Record>>& records, int shift = 0)
    {
        for (const auto& record : records) {
            byStorey_[static_cast<long long>(record->storey) + shift].push_back(record.get());
        }
    }

    const std::vector<const Record*>& builtFrom(int storey) const
    {
        const auto it = byStorey_.find(storey);
        return it == byStorey_.end() ? none_ : it->second;
    }

private:
    std::unordered_map<long long, std::vector<const Record*>> byStorey_;
    std::vector<const Record*> none_;
};

}  // namespace Importer
