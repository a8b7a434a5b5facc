#pragma once

#include <cstddef>
#include <memory>
#include <unordered_map>
#include <vector>

namespace Importer {

// The records each storey builds, each list in the model's order. Found once for a whole building pass: a look at every record for
// every storey grows with the square of a tall plan.
template <typename Record>
class RecordsByStorey {
public:
    // A record is built from its own storey plus `shift` (a roof from the
    // storey below it: -1).
    explicit RecordsByStorey(const std::vector<std::unique_ptr<Record>>& records, int shift = 0)
    {
        for (std::size_t i = 0; i < records.size(); ++i) {
            Built& built = byStorey_[static_cast<long long>(records[i]->storey) + shift];
            built.records.push_back(records[i].get());
            built.positions.push_back(i);
        }
    }

    const std::vector<const Record*>& builtFrom(int storey) const
    {
        const auto it = byStorey_.find(storey);
        return it == byStorey_.end() ? none_.records : it->second.records;
    }

    // The same records by their positions in the model's list.
    const std::vector<std::size_t>& positionsFrom(int storey) const
    {
        const auto it = byStorey_.find(storey);
        return it == byStorey_.end() ? none_.positions : it->second.positions;
    }

private:
    struct Built {
        std::vector<const Record*> records;
        std::vector<std::size_t> positions;
    };
    std::unordered_map<long long, Built> byStorey_;
    Built none_;
};

}  // namespace Importer
