#include "exporter/writer/SideBySideRecords.h"

#include <algorithm>
#include <array>
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
    // The state every chunk starts from, taken once: the writer itself is
    // busy writing the round before while the chunks are formatted.
    XmlTextWriter start;
    start.beginFormatting(xml);
    // Two chunks a thread per round, so that a thread slowed by another
    // program leaves its second chunk to the others; the rounds keep what
    // is held in memory at a few chunks, whatever the list's length. One
    // round is formatted while the one before is written, into the other
    // set of chunks.
    const std::size_t chunksPerRound = 2 * threads;
    const std::size_t recordsPerRound = chunksPerRound * perChunk;
    std::array<std::vector<XmlTextWriter>, 2> parts{std::vector<XmlTextWriter>(chunksPerRound),
                                                    std::vector<XmlTextWriter>(chunksPerRound)};
    std::size_t written = 0;  // chunks of the round before, still to be written
    const auto writeRound = [&](const std::vector<XmlTextWriter>& round) {
        for (std::size_t c = 0; c < written && xml.writeFormatted(round[c]); ++c) {
        }
    };
    for (std::size_t round = 0, first = 0; first < count && !xml.failed(); ++round, first += recordsPerRound) {
        std::vector<XmlTextWriter>& formatting = parts[round % 2];
        const std::vector<XmlTextWriter>& before = parts[(round + 1) % 2];
        const std::size_t chunks = std::min(chunksPerRound, (count - first + perChunk - 1) / perChunk);
        // Chunk 0 writes the round before; the others format this round's.
        OutlineSteps::runChunks(chunks + 1, threads, [&](std::size_t c) {
            if (c == 0) {
                writeRound(before);
                return;
            }
            XmlTextWriter& part = formatting[c - 1];
            part.beginFormatting(start);
            const std::size_t from = first + (c - 1) * perChunk;
            const std::size_t to = std::min(count, from + perChunk);
            for (std::size_t i = from; i < to && !part.failed(); ++i) {
                writeRecord(part, i);
            }
        });
        written = chunks;
        if (xml.failed()) {
            return;
        }
        if (first + recordsPerRound >= count) {
            writeRound(formatting);
        }
    }
}

}  // namespace Exporter
