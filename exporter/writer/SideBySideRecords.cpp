#include "exporter/writer/SideBySideRecords.h"

#include <algorithm>
#include <vector>

#include "exporter/geometry/ParallelChunks.h"

namespace Exporter {

void writeRecords(XmlTextWriter& xml, std::size_t count,
                  const std::function<void(XmlTextWriter&, std::size_t)>& writeRecord, const RecordBatching& batching)
{
    const std::size_t perChunk = std::max<std::size_t>(1, batching.recordsPerChunk);
    const std::size_t threads = batching.threads > 0 ? batching.threads : OutlineSteps::machineThreads();
    if (threads < 2 || count < 2 * perChunk) {
        for (std::size_t i = 0; i < count && !xml.failed(); ++i) {
            writeRecord(xml, i);
        }
        return;
    }
    // Two chunks a thread per round, so that a thread slowed by another
    // program leaves its second chunk to the others; the rounds keep what
    // is held in memory at a few chunks, whatever the list's length.
    const std::size_t chunksPerRound = 2 * threads;
    std::vector<XmlTextWriter> parts(chunksPerRound);
    for (std::size_t first = 0; first < count && !xml.failed(); first += chunksPerRound * perChunk) {
        const std::size_t chunks = std::min(chunksPerRound, (count - first + perChunk - 1) / perChunk);
        OutlineSteps::runChunks(chunks, threads, [&](std::size_t c) {
            XmlTextWriter& part = parts[c];
            part.beginFormatting(xml);
            const std::size_t from = first + c * perChunk;
            const std::size_t to = std::min(count, from + perChunk);
            for (std::size_t i = from; i < to && !part.failed(); ++i) {
                writeRecord(part, i);
            }
        });
        for (std::size_t c = 0; c < chunks && xml.writeFormatted(parts[c]); ++c) {
        }
    }
}

}  // namespace Exporter
